' expect: 2:6 1011 Expected '='
For i 1 To 10
Next
