void f(void)
#ifdef A
{
    a();
}


#else
{
    b();
}
#endif
