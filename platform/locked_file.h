// A database file opened for update while other processes may only read it:
// an existing file, opened for reading and writing, with an exclusive
// advisory lock. The Firebird server locks the files of an attached database
// the same way, so a database in use is refused instead of edited under the
// server. Closed, and its lock released, when the object goes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tessaldrin::platform {

class LockedFile {
public:
    // Opens the existing regular file or block device `path` (never creates
    // one) and locks it; nothing when either fails, the file is then closed.
    static std::optional<LockedFile> Open(const std::string& path);

    LockedFile(LockedFile&& other) noexcept;
    LockedFile& operator=(LockedFile&& other) noexcept;
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;
    ~LockedFile();

    // One read of `count` bytes at `offset` (repeated only when a signal
    // interrupts it); the number of bytes read, 0 on failure.
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t count);
    // One write of `count` bytes at `offset`, likewise; the number written.
    std::size_t WriteAt(std::uint64_t offset, const std::uint8_t* buffer, std::size_t count);
    // True once everything written has reached the disk.
    bool Sync();

    // The reads and writes made on this file so far.
    std::size_t Reads() const { return reads_; }
    std::size_t Writes() const { return writes_; }

private:
    explicit LockedFile(int descriptor) : descriptor_(descriptor) {}
    void Release();

    int descriptor_ = -1;
    std::size_t reads_ = 0;
    std::size_t writes_ = 0;
};

} // namespace tessaldrin::platform
