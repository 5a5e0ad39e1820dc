' expect: 3:0 1055 Unexpected 'Next'
x = 1
Next
