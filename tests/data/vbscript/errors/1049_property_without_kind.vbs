' expect: 3:13 1049 Expected Let or Set or Get in property declaration
Class C
    Property P
    End Property
End Class
