' expect: 3:5 1025 Expected end of statement
For i = 1 To 3
Next i
