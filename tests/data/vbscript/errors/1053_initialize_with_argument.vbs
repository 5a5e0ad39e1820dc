' expect: 3:35 1053 Class initialize or terminate do not have arguments
Class C
    Private Sub Class_Initialize(x)
    End Sub
End Class
