' expect: 3:28 1058 'Default' specification can only be on Property Get
Class C
    Public Default Property Let P(v)
    End Property
End Class
