#define LIMIT 10 /* items */
int f(int a) {
    if (a < LIMIT) {   // small
        a++;
    } else if (a > 2) {   // large
        a = 4;
    } else // other
        a = 0;
    return a;
}
