' expect: 3:13 1025 Expected end of statement
MsgBox (1) & "one argument"
MsgBox(1, 2) & "two are not one expression"
