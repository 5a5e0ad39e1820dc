' expect: 5:11 1052 Cannot have multiple default property/method in a Class
Class C
    Public Default Function A
    End Function
    Public Default Sub B
    End Sub
End Class
