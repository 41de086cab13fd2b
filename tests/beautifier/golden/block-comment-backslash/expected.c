/* start
   path C:\
   end */
/* dir D:\
 */
int y; /* dir C:\
          more */
