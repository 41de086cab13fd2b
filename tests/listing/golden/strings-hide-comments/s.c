a = "x"; b = "/*";
int c;
s = "// not"; int d; // note
c = '"'; s = "/* x */"; int e;
s = "a\"/*"; int f;
int g;
