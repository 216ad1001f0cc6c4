LM=2
1 1
2 2
3 3
ID=x
