' expect: 2:16 1044 Cannot use parentheses when calling a Sub
obj.Method(1, 2)
