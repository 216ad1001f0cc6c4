LM=two
1 1
2 2
