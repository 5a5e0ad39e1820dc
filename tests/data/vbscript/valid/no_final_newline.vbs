' The last line has no line break.
' procedures: Main/0/Sub
Sub Main()
    MsgBox "done"
End Sub