int f()
{
x;
}
int y;