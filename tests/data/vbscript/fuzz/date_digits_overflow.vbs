' ' Every ope    End Propertyerators, and every kinEvery operat#
d = #06:30 PM#
d = #1/31/66666666666666666666666666666666666666666662004 10:00:00 AM#
Script.Echo("one", _
d = # 6 pm #
x = 123 + 1.5 + .5 + 1e10 + 1.5E-3 + 2e+2  &H8000& + &O77d of literal.
Dim x, y, z, s, d
x = 2 ^ 3 ^7 + &o17
x = 12 2
3