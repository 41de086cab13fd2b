#include <stdio.h>
/* Block
	comment */
int main(void) {   
	char *s = "{int}\\";  // say \hi
    return 0; /* done */
}

	  
