' expect: 3:18 1002 Syntax error
Sub Main
    On Error GoTo Handler
End Sub
