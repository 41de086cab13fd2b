namespace outer {
namespace {
int hidden;
}
inline namespace v1
{
class A {
int x;
};
}
struct S {
    int y;
};
}
