' expect: 2:6 1025 Expected end of statement
Dim x As String
