// The build constants of the web release. One script serves every build's
// page, so the page names its build (Module.build) and the presets' table,
// written by CMake, gives its constants; an unknown name plays the first.
#include <emscripten.h>

#include "main.h"

struct WebPreset {
    const char* name;
    int width, height, people, tanks;
};

static const WebPreset PRESETS[] = {
#include "web_presets.inc"
};

static const WebPreset& pagePreset() {
    for (const WebPreset& p : PRESETS)
        if (EM_ASM_INT({ return Module.build === UTF8ToString($0); }, p.name)) return p;
    return PRESETS[0];
}

const int SCREEN_WIDTH = pagePreset().width;
const int SCREEN_HEIGHT = pagePreset().height;
const int PEOPLE_COUNT = pagePreset().people;
const int TANK_COUNT = pagePreset().tanks;
