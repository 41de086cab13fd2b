/* ringbuf.h - a fixed-size ring buffer of bytes */
#ifndef RINGBUF_H
#define RINGBUF_H

#include <stddef.h>

#define RINGBUF_CAPACITY 256

typedef struct ringbuf {
    unsigned char data[RINGBUF_CAPACITY];
    size_t head;   /* next byte to read */
    size_t count;  /* bytes held */
} ringbuf;

void ringbuf_init(ringbuf *rb);
int ringbuf_put(ringbuf *rb, unsigned char byte);
int ringbuf_get(ringbuf *rb, unsigned char *byte);
size_t ringbuf_free(const ringbuf *rb);

#endif /* RINGBUF_H */
