// Process entry of every deliverable; the game itself starts in SDL_main.
#include "main.h"

int main(int argc, char* argv[]) {
    return SDL_main(argc, argv);
}
