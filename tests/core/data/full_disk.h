// A disk of fixed size for the engine, for tests of what a full disk does:
// while one of these lives it is the engine's default file layer, passing
// everything to the real one but answering "database or disk is full" to a
// write that would grow the engine's files past the free space it was given.
// Deleting a file (a finished journal) frees its space, as on a real disk.
#pragma once

#include <cstdint>

namespace lty::test {

class FullDisk {
public:
    FullDisk();
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    // From now on the files may grow by `bytes` in all.
    void SetFreeBytes(std::int64_t bytes);
    // No limit (the state after construction).
    void Unlimited();
};

} // namespace lty::test
