// A database file opened for update while no other process has it open: an
// existing regular file with a single name, reached without following a link,
// opened for reading and writing and held. Here it is held with an exclusive
// advisory lock, as Firebird 3 and later lock the files of an attached
// database, and found free of every other holder (Firebird 2.5 takes no
// lock, nor does a plain program) by a write lease, which the kernel grants
// only while no other process has the file open at all; on Windows by a share
// mode that lets others only read. Where the system cannot tell whether the
// file is free, it is refused, never assumed free. Closed, and released, when
// the object goes.
#pragma once

#include "platform/file_status.h"
#include "platform/open_failure.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace tessaldrin::platform {

class LockedFile {
public:
    // Opens the existing file `path` (never creates one) and locks it. Nothing
    // when the entry is a link of any kind (a symbolic link, or a file with a
    // second name), not a regular file (a directory, FIFO or device), or when
    // the open or the lock fails; whatever such an entry points at is never
    // opened for writing, and no kind of entry makes the open wait. Nothing
    // as well when another process has the file open, or when the system
    // cannot tell whether one has. When it gives nothing and `why` is given,
    // `why` receives the reason.
    static std::optional<LockedFile> Open(const std::string& path, OpenFailure* why = nullptr);

    LockedFile(LockedFile&& other) noexcept
        : descriptor_(std::exchange(other.descriptor_, -1)), path_(std::move(other.path_)),
          identity_(other.identity_), reads_(other.reads_), writes_(other.writes_) {}
    LockedFile& operator=(LockedFile&& other) noexcept {
        if (this != &other) {
            Release();
            descriptor_ = std::exchange(other.descriptor_, -1);
            path_ = std::move(other.path_);
            identity_ = other.identity_;
            reads_ = other.reads_;
            writes_ = other.writes_;
        }
        return *this;
    }
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;
    ~LockedFile() { Release(); }

    // The name under which the file was opened, or last renamed.
    const std::string& Path() const { return path_; }

    // Which file is held, whatever its name; a rename keeps it.
    const FileIdentity& Identity() const { return identity_; }

    // Renames the file from Path() to `to` while its lock stays held, so that
    // no other process can take the file between a test and the rename (the
    // rename without overwriting, MoveFileA). Fails, leaving both names as
    // they were, when `to` names another existing entry or when the entry at
    // Path() is no longer this file. Renaming onto its own name succeeds.
    bool MoveTo(const std::string& to);

    // One read of `count` bytes at `offset` (repeated only when a signal
    // interrupts it); the number of bytes read, 0 on failure.
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t count);
    // One write of `count` bytes at `offset`, likewise; the number written.
    std::size_t WriteAt(std::uint64_t offset, const std::uint8_t* buffer, std::size_t count);
    // True once everything written has reached the disk.
    bool Sync();

    // The file's length in bytes; none when the system does not tell.
    std::optional<std::uint64_t> Size() const;
    // Lengthens the file to `size` bytes, every byte behind its old end zero
    // and the disk's room for them taken, so that no write within them can
    // find the disk full later; a file as long already stays as it is.
    bool Reserve(std::uint64_t size);
    // Cuts the file to `size` bytes; a file no longer stays as it is.
    bool Shorten(std::uint64_t size);

    // While it lives, no other process has the file open, and an open
    // elsewhere waits until it goes: what a write needs beside the lock,
    // which a process that locks nothing does not heed. Refused when another
    // process has the file open, or the system cannot tell whether one has.
    class SoleAccess {
    public:
        explicit SoleAccess(LockedFile& file);
        ~SoleAccess();
        SoleAccess(const SoleAccess&) = delete;
        SoleAccess& operator=(const SoleAccess&) = delete;
        // Why it was not granted; none when it was.
        const std::optional<OpenFailure>& Refusal() const { return refusal_; }
        // Whether it is still granted: no other process has begun to open
        // the file since, which breaks it (the opener waits meanwhile).
        bool Kept() const;

    private:
        int descriptor_ = -1; // the descriptor it was granted on
        std::optional<OpenFailure> refusal_;
    };

    // The reads and writes made on this file so far.
    std::size_t Reads() const { return reads_; }
    std::size_t Writes() const { return writes_; }

private:
    LockedFile(int descriptor, std::string path)
        : descriptor_(descriptor), path_(std::move(path)) {}
    void Release();

    int descriptor_ = -1;
    std::string path_;
    FileIdentity identity_;
    std::size_t reads_ = 0;
    std::size_t writes_ = 0;
};

} // namespace tessaldrin::platform
