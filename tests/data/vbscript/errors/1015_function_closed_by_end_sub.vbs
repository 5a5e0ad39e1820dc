' expect: 3:4 1015 Expected 'Function'
Function F
End Sub
