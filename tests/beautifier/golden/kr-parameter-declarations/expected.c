int add(a, b)
int a;
int b;
{
    return a + b;
}


void f(void) {
    x = 1;
    {
        int y = x;
    }
}
