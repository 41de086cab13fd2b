#if A                                   /* first
                                     part */ && B
int x;
#endif
        /* a note
        /* that reads like an opener */
int y;
#define M(a) (a)                        /* the macro
                          ends here */ + 1
int z = M(2);
void f() {
    g();                                /* open
                                   close */
    h();
}
