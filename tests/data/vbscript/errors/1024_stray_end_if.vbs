' expect: 3:0 1024 Expected statement
x = 1
End If
