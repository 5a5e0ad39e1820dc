' expect: 2:4 1031 Invalid number
x = 1E400
