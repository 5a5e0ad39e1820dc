' expect: 3:4 1039 Invalid 'exit' statement
Function F
    Exit Sub
End Function
