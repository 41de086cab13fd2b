/* ringbuf.c - a fixed-size ring buffer of bytes */
#include "ringbuf.h"

void ringbuf_init(ringbuf *rb)
{
    rb->head = 0;
    rb->count = 0;
}

/* Returns 0 when the buffer is full. */
int ringbuf_put(ringbuf *rb, unsigned char byte)
{
    if (rb->count == RINGBUF_CAPACITY)
        return 0;
    rb->data[(rb->head + rb->count) % RINGBUF_CAPACITY] = byte;
    rb->count++;
    return 1;
}

int ringbuf_get(ringbuf *rb, unsigned char *byte)
{
    if (rb->count == 0) return 0;
    *byte = rb->data[rb->head];
    rb->head = (rb->head + 1) % RINGBUF_CAPACITY;
    rb->count--;
    return 1;
}

size_t ringbuf_free(const ringbuf *rb)
{
  return RINGBUF_CAPACITY - rb->count;
}
