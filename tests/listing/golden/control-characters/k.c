abc;
xy
 z
