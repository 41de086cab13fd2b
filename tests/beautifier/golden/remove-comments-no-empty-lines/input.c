/* file comment */
int f(int a)
{
    // alone inside the body
    a = 1; // trailing
    if (a)
        // between the head and its body
        return 1;
    /* a block
       over two lines */
    return 0;
}
