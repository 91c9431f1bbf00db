// The C library's rand() and srand() as glibc has them, for the Windows and web
// builds: their own rand() stops at 32767 (Windows) or draws other numbers
// (musl), and then the crowd and the tanks would not spread over the whole map
// and a seed would not give the same world as on Linux. Linked in place of the
// C library's pair; the game keeps calling the standard names.
#include <cstdint>

namespace {

// glibc's default state: an additive feedback generator of degree 31,
// separation 3, seeded by a Lehmer generator and run 310 steps before use.
const int DEGREE = 31;
const int SEPARATION = 3;
const int WARM_UP = 10 * DEGREE;

uint32_t state[DEGREE];
int front = SEPARATION;
int rear = 0;
bool seeded = false;

uint32_t step() {
    state[front] += state[rear];
    const uint32_t result = state[front] >> 1;
    front = (front + 1) % DEGREE;
    rear = (rear + 1) % DEGREE;
    return result;
}

void seed(unsigned int value) {
    // Seeds of 2^31 and up go in as negative words, as in glibc.
    int32_t word = (int32_t)(value == 0 ? 1 : value);
    state[0] = (uint32_t)word;
    for (int i = 1; i < DEGREE; i++) {
        const int32_t hi = word / 127773;
        const int32_t lo = word % 127773;
        word = 16807 * lo - 2836 * hi;
        if (word < 0) word += 2147483647;
        state[i] = (uint32_t)word;
    }
    front = SEPARATION;
    rear = 0;
    for (int i = 0; i < WARM_UP; i++) step();
    seeded = true;
}

}  // namespace

extern "C" void srand(unsigned int value) {
    seed(value);
}

// Unseeded, it starts as glibc does: as if seeded with 1.
extern "C" int rand(void) {
    if (!seeded) seed(1);
    return (int)step();
}
