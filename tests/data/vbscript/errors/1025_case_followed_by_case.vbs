' expect: 3:11 1025 Expected end of statement
Select Case n
    Case 1 Case 2
End Select
