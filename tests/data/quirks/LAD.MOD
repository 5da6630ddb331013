Attributes=Width,Height,Weight,Outcome
Cutpoints_Att_0=1.5,2.5,4
Cutpoints_Att_1=20,30,40
Cutpoints_Att_2=100,110,140
Pospattern1=0:3:1,0:3:2
Negpattern1=1:3:1,0:3:2
Negpattern2=1:3:0,2:3:2
Negpattern3=2:3:0,0:3:2
