void f()
{
const char *s = R"x(
  a {  


    b
)x";
auto t = u8R"(one
  two)";
}
