' expect: 2:4 1032 Invalid character
d = #not a date#
