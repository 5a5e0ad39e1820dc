' expect: 3:5 1025 Expected end of statement
x = (a)(1)
x = 1(2)
