' expect: 2:12 1011 Expected '='
Const Limit 10
