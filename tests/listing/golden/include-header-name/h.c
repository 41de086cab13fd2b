#include <int.h>
#include <sys/char.h>
# include <void>
int x; /* <int> */
y = f<int>(z);
