' expect: 2:7 1048 Must be defined inside a Class
Public Property Let P(v)
End Property
