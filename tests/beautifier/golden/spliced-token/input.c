#define CAT a\
b
int f()
{
ret\
urn x;
}
