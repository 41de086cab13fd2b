void f() {
if (a)
x;
}
