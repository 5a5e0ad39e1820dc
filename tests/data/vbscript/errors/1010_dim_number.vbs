' expect: 2:4 1010 Expected identifier
Dim 1
