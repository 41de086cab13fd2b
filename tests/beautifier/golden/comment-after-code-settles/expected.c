int t[] = {
    A,  /* first
           second */
    B
};
