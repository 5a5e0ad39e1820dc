' expect: 4:8 1037 Invalid use of 'Me' keyword
Class C
    Sub S
        Me = 1
    End Sub
End Class
