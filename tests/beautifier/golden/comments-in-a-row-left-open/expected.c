int a; /**//* runs
   on */
int b;
void f() {
    g(); /* one *//* two
       three */
}
