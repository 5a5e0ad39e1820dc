' expect: 3:5 1028 Expected 'While,' 'Until,' or end of statement
Do
Loop x
