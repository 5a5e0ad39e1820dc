' expect: 2:8 1017 Expected 'Then'
If x = 1
    y = 2
End If
