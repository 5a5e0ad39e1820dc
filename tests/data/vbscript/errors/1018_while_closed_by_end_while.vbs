' expect: 3:0 1018 Expected 'Wend'
While x
End While
