' expect: 3:4 1038 'loop' without 'do'
Sub S
    Loop
End Sub
