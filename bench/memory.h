// What the process holds, for the soak and the list churn: resident pages,
// and the bytes in use from malloc (the game's, the driver's, the X
// libraries'). Set side by side, they tell blocks still held from memory
// the allocator has not given back.
#ifndef CUBEGAME_BENCH_MEMORY_H
#define CUBEGAME_BENCH_MEMORY_H

#include <malloc.h>
#include <unistd.h>

#include <cstdio>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's own count of live blocks (its header comes with clang only).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

inline double residentMegabytes() {
    FILE* statm = fopen("/proc/self/statm", "r");
    if (!statm) return 0.0;
    long size = 0, resident = 0;
    int read = fscanf(statm, "%ld %ld", &size, &resident);
    fclose(statm);
    return read == 2 ? resident * (double)sysconf(_SC_PAGESIZE) / (1024.0 * 1024.0) : 0.0;
}

inline double heapMegabytes() {
#if defined(__SANITIZE_ADDRESS__)
    const double bytes = (double)__sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = mallinfo2();
    const double bytes = (double)info.uordblks + (double)info.hblkhd;
#endif
    return bytes / (1024.0 * 1024.0);
}

#endif
