void f(void) {
    if (a)
        x();
    y();
    while (b)
        if (c)
            z();
    w();
}
