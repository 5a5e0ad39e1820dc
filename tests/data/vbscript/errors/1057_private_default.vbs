' expect: 3:12 1057 'Default' specification must also specify 'Public'
Class C
    Private Default Function F
    End Function
End Class
