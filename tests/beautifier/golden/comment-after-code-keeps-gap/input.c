struct s {
    unsigned lru:LRU_BITS;/* LRU time or
                            * LFU data */
    unsigned type:4;  /* type of the
                       * object */
    int refcount;
};
