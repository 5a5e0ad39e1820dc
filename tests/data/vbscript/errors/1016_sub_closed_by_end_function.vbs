' expect: 3:4 1016 Expected 'Sub'
Sub S
End Function
