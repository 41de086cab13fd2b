int add(int a, int b)
{
    return a + b;
}


struct point {
    int x;
};
namespace n {
    void f() const
    {
        if (a) {
            g();
        }
    }
}


class A {
    void m() {
    }
};
