int f(void)
{
	if (a)
	{
		x = 1;	// c
		s = "a	b";
	}
}
