#include "platform/windows/windows_api.h"

#include "platform/file_status.h"
#include "platform/local_path.h"
#include "platform/windows/file_identity_of_handle.h"

#include <memory>

namespace tessaldrin::platform {
namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};

DWORD AttributesOf(const std::string& path) {
    return HoldsZeroByte(path) ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(path.c_str());
}

} // namespace

bool IsDirectory(const std::string& path) {
    const DWORD attributes = AttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// GetFileAttributesA tells of a link itself, not of its target.
bool EntryExists(const std::string& path) {
    return AttributesOf(path) != INVALID_FILE_ATTRIBUTES;
}

std::optional<FileIdentity> IdentityOfHandle(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info)) {
        return std::nullopt;
    }
    return FileIdentity{info.dwVolumeSerialNumber,
                        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) |
                            info.nFileIndexLow};
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    if (path.empty() || HoldsZeroByte(path)) {
        return std::nullopt;
    }
    // Opened for no access at all, sharing everything, so that a file that
    // another process (or this one) holds can still be asked; the backup
    // semantics let a directory be opened too.
    const HANDLE opened =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    const std::unique_ptr<void, HandleCloser> file(opened);
    return IdentityOfHandle(file.get());
}

std::optional<OpenFailure> RenameRefusal(const std::string& /*path*/) {
    // Whether the directory's access rules let the held file be renamed shows
    // only in the rename itself; a failed one stops the run before any header
    // page is written.
    return std::nullopt;
}

} // namespace tessaldrin::platform
