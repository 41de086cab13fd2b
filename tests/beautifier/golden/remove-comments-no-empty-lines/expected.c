
int f(int a) {
    a = 1;
    if (a)
        return 1;
    return 0;
}
