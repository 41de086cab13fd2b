void f(void) {
    if (a)
        x();
    else
    if (b)
        y();
    else
        z();
}
