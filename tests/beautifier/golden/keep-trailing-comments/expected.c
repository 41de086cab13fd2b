int f(int x) {
    x = 1;                  // short: to the column
    x = x + another_long_name(x);  // past it: the gap as read
    x = x + another_long_name(x); // no gap: one blank
    x = 2;                  /* block */ /* and one more */
    if (x) {                // after the brace
        return 1;
    }
    return x;
}                           // end f
