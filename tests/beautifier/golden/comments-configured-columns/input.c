int f(void)
{
    int x = 1; // note
    /* alone */
    x = 2; /* after */
    call_a_long_function_name(argument_one); // long
    return x;
}
