// The ring of 64 key codes between the decoders and the event wait.
#pragma once
#include <cstdint>

enum { KEY_QUEUE_SIZE = 64 };

struct KeyQueue {
    uint32_t codes[KEY_QUEUE_SIZE];
    int head;
    int count;
};

extern KeyQueue g_key_queue;

// Stores the code; a full queue drops it and returns 0.
int key_queue_push(KeyQueue *q, uint32_t code);
// Takes the oldest code; 0 when the queue is empty.
int key_queue_pop(KeyQueue *q, uint32_t *code);
void key_queue_clear(KeyQueue *q);
