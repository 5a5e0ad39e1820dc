' expect: 5:0 1019 Expected 'Loop'
Sub S
    Do
        x = 1
End Sub
