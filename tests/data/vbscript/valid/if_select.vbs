' If in block and one-line forms, ElseIf chains, Select Case.
Dim n, s
n = 3
If n > 2 Then
    s = "big"
ElseIf n > 1 Then
    s = "middle"
ElseIf n = 1 Then s = "one"
Else
    s = "small"
End If

If n Then s = "yes"
If n Then s = "yes" Else s = "no"
If n Then s = "a" : n = n - 1 Else s = "b" : n = n + 1
If n = 1 Then If s = "" Then s = "x" Else s = "y"
If n Then Else s = "empty then"
If (n = 0) Then 'comment after Then
End If
If Not IsEmpty(n) And (n < 5 Or n > 10) Then s = "parenthesised"
If n Then
Else
End If
IF n THEN s = "upper case" ELSE s = "lower"

Select Case n
    Case 1
        s = "one"
    Case 2, 3, 4
        s = "few"
    Case n * 2, Len(s)
    Case Else
        s = "many"
End Select

Select Case s : Case "a" : n = 1 : Case "b" : n = 2 : End Select

Select Case True

    ' comments and blank lines before the first Case
    Case n > 5: s = "x"
    Case Else: s = "y"
End Select

Select Case n
End Select
