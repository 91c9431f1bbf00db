// Temporary folders and whole-file helpers for tests, TGA files included.
#include "scratch_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "imagegen.h"

// Portable (the suites run on Windows too): a random name, tried until new.
ScratchDir::ScratchDir() {
    namespace fs = std::filesystem;
    std::error_code error;
    previous_ = fs::current_path(error).string();
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty(); attempt++) {
        const fs::path candidate = fs::temp_directory_path(error) / ("cubegame-test-" + std::to_string(random()));
        if (fs::create_directory(candidate, error)) path_ = candidate.generic_string();
    }
    if (path_.empty()) {
        ADD_FAILURE() << "cannot create a scratch folder";
        return;
    }
    fs::current_path(path_, error);
    if (error) ADD_FAILURE() << "cannot enter " << path_;
}

ScratchDir::~ScratchDir() {
    std::error_code error;
    if (!previous_.empty()) std::filesystem::current_path(previous_, error);
    if (error) ADD_FAILURE() << "cannot leave " << path_;
    if (!path_.empty()) std::filesystem::remove_all(path_, error);
}

void ScratchDir::writeGameImages() const {
    ASSERT_EQ(1, generateGameImages(path_.c_str()));
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string tgaHeader(int type, int width, int height, int depth) {
    std::string h(18, '\0');
    h[2] = (char)type;
    h[12] = (char)(width & 0xFF);
    h[13] = (char)((width >> 8) & 0xFF);
    h[14] = (char)(height & 0xFF);
    h[15] = (char)((height >> 8) & 0xFF);
    h[16] = (char)depth;
    return h;
}

void writeTga(const std::string& path, int width, int height, int depth, const PixelBytes& byte) {
    std::string file = tgaHeader(depth == 8 ? 3 : 2, width, height, depth);
    for (int p = 0; p < width * height; p++)
        for (int k = 0; k < depth / 8; k++) file += (char)byte(p, k);
    writeFile(path, file);
}
