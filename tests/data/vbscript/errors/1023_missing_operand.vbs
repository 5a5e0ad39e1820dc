' expect: 2:7 1023 Expected expression
x = 1 +
