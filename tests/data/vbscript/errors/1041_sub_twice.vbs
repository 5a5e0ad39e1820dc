' expect: 4:4 1041 Name redefined
Sub Main
End Sub
sub MAIN
End Sub
