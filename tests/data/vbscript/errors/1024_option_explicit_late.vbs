' expect: 3:0 1024 Expected statement
Dim x
Option Explicit
