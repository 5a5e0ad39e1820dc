' expect: 2:8 1010 Expected identifier
x = obj.
