int f()
{
int x = 1'000; // don't use { here
int y = 0xFF'FF'FF;
return x + y;
}
