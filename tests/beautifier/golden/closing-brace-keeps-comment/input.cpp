namespace b {
int f(int a)
{
    while (a) {
        a--;
    }   // while
    return a;
}  // end f
}  // namespace b
