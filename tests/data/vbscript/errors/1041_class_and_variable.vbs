' expect: 3:6 1041 Name redefined
Dim Shape
Class Shape
End Class
