' expect: 2:4 1033 Unterminated string constant
x = "abc
