#define each(i, n) \
    for (i = 0; \
        i < n; i++)

#define each_twice(i, n) \
    each(i, n) each(i, n)

#define loop_forever \
    while (1)

static int sum(int n) {
    int i, s = 0;
    if (n > 0)
        return n;
    return s;
}
