' expect: 4:0 1014 Expected 'End'
Sub A
    x = 1
Sub B
End Sub
