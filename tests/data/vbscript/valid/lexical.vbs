' Comments, Rem, continuation, colons, case, brackets and keywords as members.
REM a Rem comment : with a colon that does not end it
rem lower case Rem
x = 1 ' trailing comment
x = 1 : y = 2 : : z = 3 :
:::
x = 1 + _
    2 + _
  3
Call WScript.Echo("one", _
                  "two")
x = 0
MsgBox _
  "continued call"
DIM UPPER : upper = 1 : UpPeR = 2
[with space] = 1
[1 starts with a digit] = 2
[Dim] = 3
x = [with space] + [Dim]
Set rng = sheet.Range("A1")
rng.Select
last = sheet.Cells(1, 1).End(-4162).Row
x = rs.Fields.Item("id").Value
rs.MoveNext
obj.Set 1 : obj.Let 2 : obj.Get : obj.Property = 1 : obj.Class = 2 : obj.Rem = 3
x = obj.If + obj.Then + obj.Loop + obj.Next + obj.Dim + obj.Me + obj.New
x = obj.[bracketed member]
s = "any bytes in strings: € ¤ § ¼ ÿ"
' any bytes in comments: € ¤ § ¼ ÿ
x = a	+	b
