int a; // one
// two
int b;
