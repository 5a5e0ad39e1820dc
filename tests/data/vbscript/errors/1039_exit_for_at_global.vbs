' expect: 2:0 1039 Invalid 'exit' statement
Exit For
