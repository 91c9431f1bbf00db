// The Windows games' entry, in place of SDLmain's: the same start-up, with
// the game's messages in stdout.txt and stderr.txt beside the exe as players
// of SDL games know them, or, where that folder cannot be written (Program
// Files, a read-only share), in %LOCALAPPDATA%\cubegame\, so they are never lost.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <SDL/SDL.h>
#include <SDL/SDL_main.h>

static const char* const OUTPUT_NAMES[] = {"stdout.txt", "stderr.txt"};
static const int OUTPUTS = 2;
static std::string outputPaths[OUTPUTS];

// ---- where the messages go ---------------------------------------------

// The exe's folder, with its trailing backslash.
static std::string programFolder() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string folder(path, length < MAX_PATH ? length : 0);
    size_t slash = folder.find_last_of('\\');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

// %LOCALAPPDATA%\cubegame\, made when missing; empty where there is none.
static std::string userFolder() {
    const char* local = getenv("LOCALAPPDATA");
    if (!local || !*local) return "";
    std::string folder = std::string(local) + "\\cubegame";
    CreateDirectoryA(folder.c_str(), NULL);  // an existing folder is fine
    return folder + "\\";
}

// Opening the first file is the test: a folder's rights say too little.
static bool writable(const std::string& folder) {
    if (folder.empty()) return false;
    FILE* probe = fopen((folder + OUTPUT_NAMES[0]).c_str(), "w");
    if (!probe) return false;
    fclose(probe);
    return true;
}

// Where neither folder takes them, the streams stay as they are.
static void redirectOutput() {
    std::string folder = programFolder();
    if (!writable(folder)) folder = userFolder();
    if (!writable(folder)) return;
    FILE* streams[OUTPUTS] = {stdout, stderr};
    for (int i = 0; i < OUTPUTS; i++) {
        outputPaths[i] = folder + OUTPUT_NAMES[i];
        if (!freopen(outputPaths[i].c_str(), "w", streams[i])) outputPaths[i].clear();
    }
    setvbuf(stdout, NULL, _IOLBF, BUFSIZ);
    setbuf(stderr, NULL);
}

// SDL_STDIO_REDIRECT=0 keeps the streams, for a console.
static bool redirectWanted() {
    const char* setting = getenv("SDL_STDIO_REDIRECT");
    return !setting || atoi(setting) != 0;
}

// ---- at exit -----------------------------------------------------------

// An empty file tells nothing: it is removed, as SDLmain does.
static void removeEmptyOutput() {
    fclose(stdout);
    fclose(stderr);
    for (int i = 0; i < OUTPUTS; i++) {
        if (outputPaths[i].empty()) continue;
        FILE* file = fopen(outputPaths[i].c_str(), "rb");
        if (!file) continue;
        bool empty = fgetc(file) == EOF;
        fclose(file);
        if (empty) remove(outputPaths[i].c_str());
    }
}

static void quitSdl() {
    SDL_Quit();
}

// ---- operations --------------------------------------------------------

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // DirectDraw's helper must start before any file is open, or it keeps them.
    HMODULE ddraw = LoadLibraryA("DDRAW.DLL");
    if (ddraw) FreeLibrary(ddraw);
    if (redirectWanted()) redirectOutput();
    if (SDL_Init(SDL_INIT_NOPARACHUTE) < 0) {
        fprintf(stderr, "%s: %s\n", "WinMain() error", SDL_GetError());
        return FALSE;
    }
    // Last registered runs first: SDL shuts down before the files close.
    atexit(removeEmptyOutput);
    atexit(quitSdl);
    // SDL's DirectInput needs the program's handle before video starts.
    SDL_SetModuleHandle(GetModuleHandle(NULL));
    exit(SDL_main(__argc, __argv));
}
