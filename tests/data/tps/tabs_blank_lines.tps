
  
	lm=4 
103	54
 97  54

97		46
103 	46	

curves=2
   points=2
112 50

88	50
Points=2
100 62
100 38


image=wing_a.jpg
Id=wing_a
comment=left wing, male
 	 
Lm=4
-14	15
-26 15
-26 -1
-14 -1
CURVES=2
POINTS=2
4 7
-44 7
POINTS=2
-20 31
-20 -17
IMAGE=wing_b.jpg
variables=

