int f(int a) {
    if (a)
        // alone between the head and its body
        return 1;
    while (a > 2)
        // too long for the comment column
        a = a - 1;
    for (;;)
        if (a)
            /* two heads */
            break;
    return 0;
}
