x = a+ +b;
/**/
y = a / // c
#if A
#define S \
    x \

#endif
#define M \
    a();// c
int v; /* starts
   here */
/* a
   b */
int w;
