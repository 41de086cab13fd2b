int x; // c
