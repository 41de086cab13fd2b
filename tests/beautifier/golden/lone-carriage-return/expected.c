// note
int x;
void f() {
    x;
}
