int f(int a)
{
if (a)
{
x();
}
return a;
}
int g;
