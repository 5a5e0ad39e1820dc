' expect: 3:8 1041 Name redefined
Function F(value)
    Dim Value
End Function
