void g(int k) {
    switch (k) {
    // first
    case 1:
        h();
        break;
    /* the rest */
    default:
        h();
        // nothing more
    }
    if (k)
        // the body
        h();
}
