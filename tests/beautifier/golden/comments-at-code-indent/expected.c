/* File comment
 * stays at the left.
 */
int f(int a) {
    // count up
    for (int i = 0; i < a; i++) {
        /* Several lines:
           the rest keeps its place

           under the first. */
        if (i > 2) {
            /*
             * Stars line up.
             */
            g(i);
        }
    }
    // at the end
    return a;
}
