int f(void)
{
    int x = 1; // note
    /* alone */
    x = 2; /* after */
    return x;
}
