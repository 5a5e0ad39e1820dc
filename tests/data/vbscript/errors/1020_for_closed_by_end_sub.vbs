' expect: 4:0 1020 Expected 'Next'
Sub S
    For i = 1 To 2
End Sub
