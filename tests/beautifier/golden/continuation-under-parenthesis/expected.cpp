int sum(int a,
        int b) {
    x = add( a,
             mul(b,
                 c),
             d);
    y = call(
        e,
        f);
    if (a > 0 &&
        b > 0)
        g(a,
          h);
}
