' expect: 4:0 1014 Expected 'End'
If x Then
    y = 1
