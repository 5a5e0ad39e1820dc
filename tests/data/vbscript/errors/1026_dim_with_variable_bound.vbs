' expect: 3:6 1026 Expected integer constant
n = 5
Dim a(n)
