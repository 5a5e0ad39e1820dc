' expect: 5:17 1041 Name redefined
Class C
    Property Get P
    End Property
    Property Get P
    End Property
End Class
