// A fresh temporary folder that a test works in; removed afterwards.
#ifndef CUBEGAME_TEST_SCRATCH_DIR_H
#define CUBEGAME_TEST_SCRATCH_DIR_H

#include <functional>
#include <string>

class ScratchDir {
public:
    // Creates the folder and makes it the current directory.
    ScratchDir();
    // Returns to the previous directory and removes the folder.
    ~ScratchDir();
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // Writes the game's generated images into the folder.
    void writeGameImages() const;

private:
    std::string path_;
    std::string previous_;
};

// Reads a whole file; empty when it cannot be read.
std::string readFile(const std::string& path);
// Writes bytes to a file, replacing it.
void writeFile(const std::string& path, const std::string& bytes);

// An 18-byte TGA header as the game reads it.
std::string tgaHeader(int type, int width, int height, int depth);
// byte(p, k): byte k of pixel p as the file stores it (B, G, R[, A]).
using PixelBytes = std::function<int(int p, int k)>;
// Writes an uncompressed TGA: grey (type 3) at depth 8, else true colour.
void writeTga(const std::string& path, int width, int height, int depth, const PixelBytes& byte);

#endif
