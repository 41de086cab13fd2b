void f()
{
if (a) // note \
x
{
y();
}
}
