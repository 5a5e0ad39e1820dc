' expect: 2:14 1007 Expected ']'
[open name = 1
