' expect: 2:4 1010 Expected identifier
Sub (a)
End Sub
