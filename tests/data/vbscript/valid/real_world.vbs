' Forms found in real scripts: a statement after Case on its line, calls and
' indexes after parentheses and after calls, an operator after a parenthesised
' first argument, and forms the engine accepts that look doubtful.
' procedures: Classify/1/Function
Function Classify(kind)
    Select Case kind
        Case 0 strSetting = "Enabled"
        Case REG_SZ sType = "REG_SZ"
        Case "summary" info.Summary = x
        Case Disable  WScript.Echo "off"
        Case 1, 2 If kind = 1 Then Classify = "one" Else Classify = "two"
        Case 3 Classify = "three" : Exit Function
        Case Else Classify = Empty
    End Select
    Select Case kind : Case 4 Classify = "four" : End Select
End Function

Set x = (New StringFormatter)(Array(1, 2))
Set nv = (Incl("NameValue"))("City", "Portland")
y = (GetList())(0)(1) + (a)()
y = x.Items()(0)
WScript.Echo x.Keys()(i) & x.Items()(i)
x.Items()(0) = 5

MsgBox (x) & " items"
WScript.Echo (1) + 2, 3
Report (n) * 2, "total"

Class Bag
    Private a, b
    Private items()
    Public Function Pick(i)
        Set Pick = Me(i)
        Pick.Note = Me.Item(i)
        Set y = me.Redefines.Items()(i)
    End Function
    Public Default Function Item(i)
        If items(i) Is Not Nothing Then Set Item = items(i)
    End Function
End Class

Set o = GetObject_
x = o.Name
