' expect: 3:20 1054 Property Set or Let must have at least one argument
Class C
    Property Let P()
    End Property
End Class
