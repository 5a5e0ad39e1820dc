' expect: 3:4 1047 Expected 'Class'
Class C
End Sub
