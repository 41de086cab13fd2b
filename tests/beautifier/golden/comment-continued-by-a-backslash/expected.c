int y; /* a \
  b */
// c
x;
int z;
