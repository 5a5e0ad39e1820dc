' expect: 5:4 1012 Expected 'If'
Sub Main
    If x Then
        y = 1
End Sub
