' expect: 2:0 1048 Must be defined inside a Class
Property Get P
End Property
