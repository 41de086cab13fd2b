#ifdef A
void f(void)
{
}



void g(void)
{
}
#endif
int x;
