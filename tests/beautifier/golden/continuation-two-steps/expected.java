class A {
    int f(int a,
            int b) {
        if (a > 0
                && b > 0)
            g(a,
                    b);
        return h(a,
                k(b,
                    a))
                + 1;
    }
}
