#pragma once
// Counts, while switched on, the bytes allocated less the bytes freed through malloc and its
// relatives (the C++ allocator, Qt's containers and SQLite all end there), and the most that
// amount reached. Off, the counting costs one test per call, so timings stay fair.
#include <cstdint>

namespace allocation {

// Starts counting from zero.
void start();
void stop();
std::int64_t current();  // may be negative: memory from before start() freed meanwhile
std::int64_t peak();

}  // namespace allocation
