int y; /* dir C:\
more */
x;
int z;
