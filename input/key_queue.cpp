#include "input/key_queue.h"

KeyQueue g_key_queue;

int key_queue_push(KeyQueue *q, uint32_t code) {
    if (q->count >= KEY_QUEUE_SIZE) return 0;
    q->codes[(q->head + q->count) % KEY_QUEUE_SIZE] = code;
    q->count++;
    return 1;
}

int key_queue_pop(KeyQueue *q, uint32_t *code) {
    if (q->count == 0) return 0;
    *code = q->codes[q->head];
    q->head = (q->head + 1) % KEY_QUEUE_SIZE;
    q->count--;
    return 1;
}

void key_queue_clear(KeyQueue *q) {
    q->head = 0;
    q->count = 0;
}
