// Every input in fuzz/regressions, each one a file that once crashed or
// fooled the TGA loader, replayed through the fuzz entry: it aborts on a
// record that disagrees with the file, and the sanitizers on the rest, so
// a fault shows as a crash. The entry's result is always 0 and says nothing.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "scratch_dir.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

TEST(TgaFuzzRegressions, EveryInputReplaysWithoutCrashing) {
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TGA_REGRESSIONS_DIR)) {
        if (!entry.is_regular_file()) continue;
        const std::string bytes = readFile(entry.path().string());
        fprintf(stderr, "replaying %s (%zu bytes)\n", entry.path().filename().c_str(), bytes.size());
        LLVMFuzzerTestOneInput((const uint8_t*)bytes.data(), bytes.size());
        replayed++;
    }
    EXPECT_GT(replayed, 0);
}

}  // namespace
