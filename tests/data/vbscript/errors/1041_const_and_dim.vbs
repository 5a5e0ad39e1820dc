' expect: 3:4 1041 Name redefined
Const Max = 1
Dim max
