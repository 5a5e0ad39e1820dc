' expect: 2:13 1025 Expected end of statement
Function F() As Long
End Function
