' A Sub or Function defined again replaces the earlier definition: the list
' names it once, with the arguments and kind of its last definition, there.
' procedures: Helper/0/Sub; MAIN/1/Function; Report/2/Sub
Sub Main
End Sub

Sub Helper
End Sub

Sub Report(a)
End Sub

Function MAIN(x)
    MAIN = x
End Function

sub report(a, b)
End Sub

Sub Report(a, b)
End Sub

Class Holder
    Public Sub Clear
    End Sub
    Private Function clear
    End Function
End Class
