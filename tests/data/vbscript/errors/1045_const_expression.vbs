' expect: 2:10 1045 Expected literal constant
Const A = B
