' expect: 2:0 1024 Expected statement
(a)(1) = 2
