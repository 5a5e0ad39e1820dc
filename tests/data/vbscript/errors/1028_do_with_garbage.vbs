' expect: 2:3 1028 Expected 'While,' 'Until,' or end of statement
Do x
Loop
