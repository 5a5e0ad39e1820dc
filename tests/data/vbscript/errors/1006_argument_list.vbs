' expect: 2:13 1006 Expected ')'
x = Mid(s, 1 2)
