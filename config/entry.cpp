// Process entry of every deliverable; the game itself starts in SDL_main.
#include "main.h"

// Where SDL's start-up library owns the entry (Windows: SDL_main.h renames
// main to SDL_main), it calls the game's SDL_main itself; a main here would
// become a second SDL_main that calls itself forever.
#ifndef main
int main(int argc, char* argv[]) {
    return SDL_main(argc, argv);
}
#endif
