void f(int c)
{
    if (c) {
        a();
    } else
    b();
    if (c > 1) {
        a();
    } else
        if (c > 2)
            b();
    while (c)
        if (c) {
            c--;
        } else
            c++;
    return;
}
