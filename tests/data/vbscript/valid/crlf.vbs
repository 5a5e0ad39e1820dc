' CR LF line breaks throughout.
' procedures: Main/0/Sub
Sub Main
    Dim i
    For i = 1 To 3
        WScript.Echo i & _
            " times"
    Next
End Sub
