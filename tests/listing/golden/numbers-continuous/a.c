int a;

