' expect: 2:7 1021 Expected 'Case'
Select x
End Select
