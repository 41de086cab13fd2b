int a;

	int c;
