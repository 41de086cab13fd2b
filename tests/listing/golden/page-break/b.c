char b;
