' Every operator, prefix operators, and every kind of literal.
Dim x, y, z, s, d
x = 2 ^ 3 ^ 2
x = -2 ^ 2
x = 2 ^ -1
x = - - 1
x = +1
x = 7 * 3 / 2 \ 4 Mod 3 + 1 - 2
x = (1 + 2) * (3 - (4 / (5 \ 2)))
s = "a" & "b" & 1 + 2 & x
y = x = 1
y = x <> 1 Or x < 1 And x > 1 Xor x <= 1 Eqv x >= 1 Imp x = 2
y = Not x
y = Not Not x = 1
y = Not x And Not y
z = x Is Nothing
z = Not x Is Nothing
z = (x Is y) = False
d = #1/31/2004#
d = #2004-01-31#
d = #January 31, 2004#
d = #31 Jan 2004#
d = #12:30:15#
d = #12:30 PM#
d = #1/31/2004 10:00:00 AM#
d = # 6 pm #
x = 123 + 1.5 + .5 + 1e10 + 1.5E-3 + 2e+2 + 0.000001
x = &H0 + &HFF + &hdeadBEEF + &HFFFFFFFF + &H8000& + &O777 + &o17
x = &17 + &0 + &7& + &H1F
s = "a"&objB & "\"&objSubFolder.Name & "a"&hostName & x&O8
x = 12345678901234567890 + 1.7976931348623157E+308
s = "" & "quote "" inside" & """"
x = True Or False
x = Null
x = Empty
Set x = Nothing
x = (((((((((((1)))))))))))
x = Len("abc") + Len(s) * -Len(s)
x = a.b.c(1, 2).d(3)(4).e
x = CStr(x) & CInt("1") & CDbl(2)
x = 5 Mod 2 Mod 2
x = 1 - -1 - +1
