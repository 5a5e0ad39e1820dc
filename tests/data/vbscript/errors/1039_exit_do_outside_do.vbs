' expect: 3:4 1039 Invalid 'exit' statement
Sub S
    Exit Do
End Sub
