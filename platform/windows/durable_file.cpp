#include "platform/windows/windows_api.h"

#include "platform/durable_file.h"
#include "platform/local_path.h"

#include <memory>

namespace tessaldrin::platform {
namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// A handle, or none for INVALID_HANDLE_VALUE.
Handle Opened(HANDLE handle) {
    return Handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD done = 0;
        const DWORD count = bytes.size() > MAXDWORD ? MAXDWORD : static_cast<DWORD>(bytes.size());
        if (!WriteFile(file, bytes.data(), count, &done, nullptr) || done == 0) {
            return false;
        }
        bytes.remove_prefix(done);
    }
    return true;
}

std::string DirectoryOf(const std::string& path) {
    const std::string dir = DirectoryPart(path);
    return dir.empty() ? std::string(".") : dir;
}

} // namespace

// CREATE_NEW fails on every existing entry, a link included.
bool CreateDurableFile(const std::string& path, std::string_view bytes) {
    if (path.empty() || HoldsZeroByte(path)) {
        return false;
    }
    Handle file = Opened(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    const bool written = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
    const bool closed = CloseHandle(file.release()) != 0;
    if (written && closed && SyncDirectory(DirectoryOf(path))) {
        return true;
    }
    DeleteFileA(path.c_str());
    return false;
}

// Opened as the entry itself: a link shows as a reparse point and is refused.
std::optional<std::string> ReadSmallFile(const std::string& path, std::size_t limit) {
    if (path.empty() || HoldsZeroByte(path)) {
        return std::nullopt;
    }
    const Handle file = Opened(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    LARGE_INTEGER size{};
    if (!file || GetFileType(file.get()) != FILE_TYPE_DISK ||
        !GetFileInformationByHandle(file.get(), &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0 ||
        !GetFileSizeEx(file.get(), &size) || static_cast<std::uint64_t>(size.QuadPart) > limit) {
        return std::nullopt;
    }
    std::string content(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t have = 0;
    while (have < content.size()) {
        DWORD done = 0;
        if (!ReadFile(file.get(), content.data() + have, static_cast<DWORD>(content.size() - have),
                      &done, nullptr) ||
            done == 0) {
            return std::nullopt;
        }
        have += done;
    }
    return content;
}

// DeleteFileA removes a link itself, never what it names.
bool RemoveDurably(const std::string& path) {
    return !path.empty() && !HoldsZeroByte(path) && DeleteFileA(path.c_str()) &&
           SyncDirectory(DirectoryOf(path));
}

// A directory is flushed through a handle with write access opened with the
// backup semantics, which alone open a directory.
bool SyncDirectory(const std::string& dir) {
    if (dir.empty() || HoldsZeroByte(dir)) {
        return false;
    }
    const Handle directory =
        Opened(CreateFileA(dir.c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return directory && FlushFileBuffers(directory.get());
}

} // namespace tessaldrin::platform
