' expect: 3:0 1032 Invalid character
x = 1
@echo off
