int f(void)
{
    /*
    ** starred lines under the opening
    ** stay under it
    */
    /*
     * single stars one column in
     */
    return 0;
}
