' expect: 3:4 1021 Expected 'Case'
Select Case x
    y = 1
    Case 1
End Select
