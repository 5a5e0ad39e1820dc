' expect: 2:6 1032 Invalid character
x = 5 ? 3
