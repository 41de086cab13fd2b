void f()
{
const char *s = R"x(
  a {
  tio