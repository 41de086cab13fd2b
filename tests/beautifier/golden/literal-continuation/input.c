void f(void)
{
s = "abc\
  def";
u = "x   \
y";
t = 1;
}
