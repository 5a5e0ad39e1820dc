' expect: 2:5 1040 Invalid 'for' loop control variable
For a(1) = 1 To 2
Next
