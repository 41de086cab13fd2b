int a;

int b;
