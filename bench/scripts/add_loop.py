x = 0
for _ in range(1000000):
    x += 1
print(x)
