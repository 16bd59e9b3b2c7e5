// A stand-in for the system calls beneath the editor's file layer, for the
// cases that a real disk does not produce on demand: a sync that fails, a
// read-back that fails, comes back short or differs from what was written.
// The test executable is linked with the linker's --wrap for pread, pwrite,
// fsync and fdatasync (and their 64-bit names), so that the editor's own
// calls pass through here. Every call goes on to the real file unless it is
// the one chosen to fail; the calls on the watched file are recorded.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tessaldrin::testing::file_layer {

enum class Call { kRead, kWrite, kSync };

enum class Fault {
    kFail,    // returns -1 with EIO and does nothing
    kShorten, // moves one byte less than asked
    kAlter,   // moves all, but the last byte differs from what it should be
    kSignal,  // SIGTERM to this process, a pause for its action, then the call
};

struct Record {
    Call call;
    std::uint64_t offset = 0; // reads and writes
    std::size_t count = 0;    // asked for
    std::string written;      // the bytes a write was given
    bool operator==(const Record&) const = default;
};

// Records the calls on `file` from now on, with no fault chosen.
void Watch(const std::filesystem::path& file);
// The `occurrence`-th call (from 1) of `call` on the watched file, counted
// from Watch, behaves as `fault` says; each Inject adds one such call.
void Inject(Call call, int occurrence, Fault fault);
// The calls on the watched file since Watch, in order.
std::vector<Record> Records();
// How many there were; safe to ask from another thread.
std::size_t CallCount();

} // namespace tessaldrin::testing::file_layer
