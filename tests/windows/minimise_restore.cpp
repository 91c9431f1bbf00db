// Minimises the running game's window and restores it after SECONDS, as a
// player's alt-tab away and back; for the tests under Wine.
//   minimise_restore [SECONDS]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    HWND window = FindWindowA("SDL_app", nullptr);  // SDL 1.2's window class
    if (!window) {
        fprintf(stderr, "no game window\n");
        return 1;
    }
    ShowWindow(window, SW_MINIMIZE);
    Sleep((argc > 1 ? atoi(argv[1]) : 2) * 1000);
    const bool minimised = IsIconic(window);
    ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
    return minimised ? 0 : 1;
}
