' For, For Each, Do in all forms, While, and Exit.
' procedures: Loops/1/Sub
Sub Loops(items)
    Dim i, item, total
    For i = 1 To 10
        total = total + i
    Next
    For i = 10 To 1 Step -2 : total = total - i : Next
    For i = LBound(items) To UBound(items) Step 1
        If items(i) = "" Then Exit For
    Next
    For Each item In items
        If item = "stop" Then Exit For
        For Each c In Split(item, " ")
        Next
    Next
    Do
        i = i + 1
        If i > 100 Then Exit Do
    Loop
    Do While i > 0
        i = i - 1
    Loop
    Do Until i >= 5 : i = i + 1 : Loop
    Do : i = i - 1 : Loop While i > 0
    Do
        For i = 1 To 3
            If i = 2 Then Exit Do
        Next
    Loop Until False
    While i < 10
        i = i + 1
        While False : Wend
    Wend
    If total > 0 Then Exit Sub
    Exit Sub
End Sub
i = 0
Do While i < 3 : i = i + 1 : Loop
For i = 0 To 2 : Next
