// The program's clock: a millisecond tick counter, local time and sleeping. Tests may switch to a
// fake clock that only moves when told to.
#pragma once
#include <cstdint>

struct LocalTime {
    int year, month, day, hour, minute, second;
};

uint32_t clock_ms();
void clock_local(LocalTime *out);
void clock_sleep_ms(int ms);

// Fake clock for tests: while on, clock_ms and clock_local return the set values and
// clock_sleep_ms advances the fake tick instead of sleeping.
void clock_fake_enable(uint32_t start_ms, const LocalTime *local);
void clock_fake_advance(uint32_t ms);
void clock_fake_set_local(const LocalTime *local);
void clock_fake_disable();
