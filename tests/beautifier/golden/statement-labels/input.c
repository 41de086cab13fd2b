int f(int a)
{
    if (a)
        goto out;
    for (;;) {
        again: a--;
        if (a == 0)
            goto again;
    }
    x = a ? 1
        : 2;
    out:
    return a;
}
