' expect: 3:9 1023 Expected expression
Select Case x
    Case Is > 5
End Select
