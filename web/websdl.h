// The web build's SDL glue (websdl.cpp); the game itself reaches it through
// include/SDL/SDL.h.
#ifndef CUBEGAME_WEB_WEBSDL_H
#define CUBEGAME_WEB_WEBSDL_H

// Called with the finished frame, just before the swap shows it (the probe
// reads its pictures there).
extern void (*webBeforeSwap)();

#endif
