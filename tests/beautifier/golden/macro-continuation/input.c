#define N(x) \
do { \
x; \
} while (0)

void f(void)
{
x = 1;
#define M(x) \
a(x); \
b(x);
y = 2;
}
