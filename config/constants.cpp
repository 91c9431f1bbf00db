// The four build constants of one deliverable, given by CMake from presets.cmake.
#include "main.h"

const int SCREEN_WIDTH = CUBEGAME_SCREEN_WIDTH;
const int SCREEN_HEIGHT = CUBEGAME_SCREEN_HEIGHT;
const int PEOPLE_COUNT = CUBEGAME_PEOPLE_COUNT;
const int TANK_COUNT = CUBEGAME_TANK_COUNT;
