' expect: 2:12 1041 Name redefined
Sub S(a, b, a)
End Sub
