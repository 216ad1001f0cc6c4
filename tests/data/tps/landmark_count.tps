LM=2
1 1
2 2
ID=first
LM=3
1 1
2 2
3 3
ID=wing_2
