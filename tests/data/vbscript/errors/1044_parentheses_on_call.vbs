' expect: 4:10 1044 Cannot use parentheses when calling a Sub
Sub Show(a, b)
End Sub
Show(1, 2)
