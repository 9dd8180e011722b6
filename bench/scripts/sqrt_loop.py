import math
x = 0
for i in range(1000000):
    x = math.sqrt(i)
print(x)
