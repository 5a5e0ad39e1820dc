' expect: 2:32 1025 Expected end of statement
Select Case n : Case Else n = 0 End Select
