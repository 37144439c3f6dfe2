#include "base/clock.h"

#include <cerrno>
#include <ctime>
#include <time.h>

static bool fake_on;
static uint32_t fake_ms;
static LocalTime fake_local;

uint32_t clock_ms() {
    if (fake_on) return fake_ms;
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (uint32_t)((uint64_t)ts.tv_sec * 1000u + (uint64_t)ts.tv_nsec / 1000000u);
}

void clock_local(LocalTime *out) {
    if (fake_on) {
        *out = fake_local;
        return;
    }
    time_t now = time(nullptr);
    tm parts;
    localtime_r(&now, &parts);
    *out = LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                     parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

void clock_sleep_ms(int ms) {
    if (ms <= 0) return;
    if (fake_on) {
        fake_ms += (uint32_t)ms;
        return;
    }
    timespec ts{ms / 1000, (long)(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

void clock_fake_enable(uint32_t start_ms, const LocalTime *local) {
    fake_on = true;
    fake_ms = start_ms;
    fake_local = local ? *local : LocalTime{2026, 1, 1, 12, 0, 0};
}
void clock_fake_advance(uint32_t ms) {
    fake_ms += ms;
}
void clock_fake_set_local(const LocalTime *local) {
    fake_local = *local;
}
void clock_fake_disable() {
    fake_on = false;
}
