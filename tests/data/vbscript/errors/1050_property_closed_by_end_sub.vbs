' expect: 4:8 1050 Expected 'Property'
Class C
    Property Get P
    End Sub
End Class
