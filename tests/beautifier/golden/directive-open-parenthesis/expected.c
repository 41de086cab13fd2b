#define M(a) f(a, \
    b)
void g() {
    x = 1;
    y = 2;
}
