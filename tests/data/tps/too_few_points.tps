LM=3
1 1
2 2
ID=x
