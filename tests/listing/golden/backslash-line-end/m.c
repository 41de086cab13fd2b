#define TWICE(x) \
  ((x) + (x))
s = "\\";
x = 1; // ends in \
\\
