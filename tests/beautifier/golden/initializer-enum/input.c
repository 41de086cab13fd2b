int a[] = {1, 2, 3};
int b[] =
{
1,
2
};
enum E
{
A,
B
};
void f(void)
{
int c[] = {
1,
2
};
x = a +
b;
}
