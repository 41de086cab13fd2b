int f(void) {
// note
    int x = 1;
/* alone */
    x = 2;
/* after */
    return x;
}
