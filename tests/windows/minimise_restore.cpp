// Minimises the running game's window and restores it after a pause, as a
// player switching away with alt-tab and back; for the end-to-end tests
// under Wine.   minimise_restore [SECONDS]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

// SDL 1.2 names its window class after the application, "SDL_app" by default.
const char* const GAME_WINDOW_CLASS = "SDL_app";

int main(int argc, char* argv[]) {
    const int seconds = argc > 1 ? atoi(argv[1]) : 2;
    HWND window = FindWindowA(GAME_WINDOW_CLASS, nullptr);
    if (!window) {
        fprintf(stderr, "no game window\n");
        return 1;
    }
    printf("foreground before: %s\n", GetForegroundWindow() == window ? "game" : "other");
    ShowWindow(window, SW_MINIMIZE);
    Sleep(seconds * 1000);
    const bool minimised = IsIconic(window);
    ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
    printf("minimised: %s\n", minimised ? "yes" : "no");
    return minimised ? 0 : 1;
}
