int y; /* a \
  b */ x; // c
int z;
