' expect: 4:11 1025 Expected end of statement
Select Case n
    Case 0 n = 1
    Case 1 2
End Select
