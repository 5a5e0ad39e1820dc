' expect: 2:0 1032 Invalid character
!INC common.vbs
Sub Main
End Sub
