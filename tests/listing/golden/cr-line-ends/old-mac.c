int a;int b;
c
d;