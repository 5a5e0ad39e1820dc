' expect: 4:8 1029 Expected 'With'
Sub S
    With x
    End Sub
End Sub
