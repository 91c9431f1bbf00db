// Stands in for SDL_GetTicks, which the frame timer reads. Linked as an
// object of its own: left in a static library, it would be pulled in only
// by chance of link order.
#include "fake_clock.h"

static Uint32 fakeMs;

extern "C" Uint32 SDL_GetTicks(void) {
    return fakeMs;
}

void setFakeClock(Uint32 ms) {
    fakeMs = ms;
}

void advanceFakeClock(Uint32 ms) {
    fakeMs += ms;
}
