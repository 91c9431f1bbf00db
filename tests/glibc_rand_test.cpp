// The rand() the Windows and web builds link must draw glibc's numbers, so a
// seed gives the same world everywhere; here it runs beside glibc's own.
#include <gtest/gtest.h>

#include <cstdlib>

extern "C" int cubegame_rand(void);
extern "C" void cubegame_srand(unsigned int value);

TEST(GlibcRand, DrawsGlibcsNumbersForEverySeedRange) {
    // 0 stands for 1; seeds of 2^31 and up go in as negative words.
    const unsigned int seeds[] = {0, 1, 12345, 20261209, 2147483647u, 2147483648u, 4294967295u};
    for (unsigned int seed : seeds) {
        srand(seed);
        cubegame_srand(seed);
        for (int i = 0; i < 20000; i++) ASSERT_EQ(rand(), cubegame_rand()) << "seed " << seed << " draw " << i;
    }
}
