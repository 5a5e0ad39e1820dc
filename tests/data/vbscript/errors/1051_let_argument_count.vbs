' expect: 5:24 1051 Number of arguments must be consistent across properties specification
Class C
    Property Get Item(i)
    End Property
    Property Let Item(v)
    End Property
End Class
