void f()
{
    if (a)
    { /* one
two */
        x();
    }
}
