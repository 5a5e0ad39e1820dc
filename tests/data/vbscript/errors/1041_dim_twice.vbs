' expect: 3:7 1041 Name redefined
Dim a, b
Dim c, A
