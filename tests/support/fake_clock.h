// SDL's millisecond clock, replaced in whatever links fake_clock.cpp: it
// stands still until moved, so every frame takes the step its caller sets
// and plays of the same world step alike, however fast they are drawn.
#ifndef CUBEGAME_TEST_FAKE_CLOCK_H
#define CUBEGAME_TEST_FAKE_CLOCK_H

#include <SDL/SDL.h>

void setFakeClock(Uint32 ms);
void advanceFakeClock(Uint32 ms);

#endif
