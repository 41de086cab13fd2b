/* geometry.c - implementation of the helpers in geometry.h.
 * @doc GEOMETRY INTERNAL
 */
#include <math.h>

#include "geometry.h"

/* @func Clamps a corner count to the range the functions accept.
 * @parm The count given by the caller.
 * @rdesc A count between 0 and MAX_POINTS.
 */
static int
clamp_count(int count)
{
  if (count < 0) return 0;
  return count > MAX_POINTS ? MAX_POINTS : count;
}

double point_distance(struct Point a, struct Point b)
{
  return sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y));
}

double polygon_area(const struct Point *corners, int count, int winding)
{
  double sum = 0;
  int i;
  (void)winding;
  count = clamp_count(count);
  for (i = 0; i < count; ++i) {
    const struct Point *p = &corners[i];
    const struct Point *q = &corners[(i + 1) % count];
    sum += p->x * q->y - q->x * p->y;
  }
  return fabs(sum) / 2;
}
