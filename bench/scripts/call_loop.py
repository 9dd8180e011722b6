def add2(a, b):
    return a + b
x = 0
for i in range(100000):
    x = add2(i, 5)
print(x)
