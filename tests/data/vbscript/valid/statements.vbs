' Declarations, assignments and calls of every form.
' procedures: Report/2/Sub; Twice/1/Function
Dim a, b(3), c(), matrix(2, 3), [odd name]
Public shared, sharedList(10)
Private hidden, hiddenGrid(&H4, &O7)
Const Pi = 3.14159, Greeting = "Hello ""world""", Minus = -1, Flag = True
Const Nothing1 = Nothing, Nil = Null, Blank = Empty, Birthday = #3/14/1999#
Public Const AppName = "Quenlo"
Private Const Secret = &HFF&

a = 1
b(0) = a + 1
matrix(1, 2) = b(0) * 2
[odd name] = "brackets"
ReDim c(5)
ReDim Preserve c(UBound(c) + 5), hiddenGrid(2, 2)
Erase c

Set shared = CreateObject("Scripting.Dictionary")
shared.Add "one", 1
shared("two") = 2
shared.Item("three") = 3
Set shared = Nothing

Sub Report(label, value)
    WScript.Echo label & ": " & value
End Sub

Function Twice(n)
    Twice = n * 2
End Function

Report "a", a
Report "twice", Twice(a)
Report("b"), b(0)
Report ("c"), (Twice(3))
Call Report("call", 1)
Call Report("no args" & "", Twice(2))
Twice 4
Twice(4)
Twice (4)
Call Twice(5)
Call Randomize
WScript.Echo
WScript.Echo()
WScript.Echo -1
WScript.Echo a = 1, a <> 2
MsgBox "text", , "title"
MsgBox("text")
x = MsgBox("text", vbOKOnly, "title")
x = Twice(Twice(Twice(1)))
x = Split("a,b,c", ",")(1)
x = Array(Array(1, 2), Array(3, 4))(1)(0)
Stop
