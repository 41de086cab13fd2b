static int
sum(int a,
    int b) {
    if (a > 0 &&
        b > 0) {
        x = add(a,
            mul(b,
                c));
    }
    call(
        a,
        b
    );
    return a;
}


int total = first +
    second;
