// Process entry of the web release. The page downloads no images: the same
// generator as makeimages draws them into the page's in-memory files, where
// the game then loads them as it would from its folder.
#include <cstdio>

#include "imagegen.h"
#include "main.h"

int main(int argc, char* argv[]) {
    // A failure leaves the files missing, which the game reports as it loads them.
    if (!generateGameImages(".")) fprintf(stderr, "The page could not draw the game's images\n");
    return SDL_main(argc, argv);
}
