' expect: 2:11 1046 Expected 'In'
For Each x Of list
Next
