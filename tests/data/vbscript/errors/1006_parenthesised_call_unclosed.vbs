' expect: 2:9 1006 Expected ')'
x = (a)(1
