' expect: 2:10 1006 Expected ')'
x = (1 + 2
