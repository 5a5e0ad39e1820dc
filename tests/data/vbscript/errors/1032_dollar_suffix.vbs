' expect: 2:8 1032 Invalid character
s = Left$(s, 1)
