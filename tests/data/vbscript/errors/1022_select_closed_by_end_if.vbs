' expect: 4:4 1022 Expected 'Select'
Select Case x
    Case 1
End If
