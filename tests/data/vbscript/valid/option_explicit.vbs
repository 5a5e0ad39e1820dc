' Option Explicit leads the text; comments and blank lines may come first.
' procedures: Helper/0/Sub

Option Explicit
Dim code
On Error Resume Next
On Error GoTo 0
on error resume next
Randomize
Randomize Timer
code = "x = 1"
Execute code
ExecuteGlobal "Dim y : y = 2"
x = Eval("1 + 2")
Err.Clear
If Err.Number <> 0 Then Err.Raise 5, "source", "description"
Set fn = GetRef("Helper")
Sub Helper : End Sub
