' expect: 4:0 1019 Expected 'Loop'
Do
    x = 1
