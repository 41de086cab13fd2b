int f(void) {
    int x = 1;                // note
    /* alone */
    x = 2;
    /* after */
    // long
    call_a_long_function_name(argument_one);
    return x;
}
