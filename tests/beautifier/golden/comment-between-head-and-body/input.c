int f(int a)
{
    if (a)
        // alone between the head and its body
        return 1;
    while (a > 2)
        a = a - 1; // too long for the comment column
    for (;;)
        if (a)
            /* two heads */
            break;
    return 0;
}
