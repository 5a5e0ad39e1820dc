' expect: 2:10 1013 Expected 'To'
For i = 1 10
Next
