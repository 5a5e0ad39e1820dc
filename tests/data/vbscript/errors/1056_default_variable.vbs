' expect: 3:11 1056 'Default' specification can only be on 'Property' or 'Function' or 'Sub'
Class C
    Public Default Count
End Class
