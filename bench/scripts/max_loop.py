x = 0
for i in range(100000):
    x = max(i, 5)
print(x)
