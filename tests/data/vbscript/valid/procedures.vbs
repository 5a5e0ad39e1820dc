' Sub and Function headers in every form; the procedures list keeps their order.
' procedures: First/0/Sub; Second/0/Sub; Calc/3/Function; NoParens/0/Function; Arr/1/Sub; Priv/1/Sub; Pub/0/Function; Odd One/0/Sub; WithLocals/1/Function
Sub First
End Sub

Sub Second()
    Exit Sub
End Sub

Function Calc(ByVal a, ByRef b, c)
    Dim local, other(2)
    Const limit = 10
    If a > limit Then Exit Function
    b = a + c
    Calc = b
End Function

Function NoParens
    NoParens = Calc(1, 2, 3)
End Function

sub Arr(values())
    values(0) = 1
END SUB

Private Sub Priv(x) : x = x + 1 : End Sub
Public Function Pub() : Pub = 1 : End Function
Sub [Odd One]
End Sub

Function WithLocals(a)
    Dim First ' a local may share a global name
    First = a
    WithLocals = First
End Function
