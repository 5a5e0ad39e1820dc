' expect: 2:7 1002 Syntax error
Option Base 1
