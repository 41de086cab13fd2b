
int a;

int b;
