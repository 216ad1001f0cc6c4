LM=0
ID=x
