' expect: 3:7 1005 Expected '('
Dim a()
ReDim a
