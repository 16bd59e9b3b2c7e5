#include "platform/windows/windows_api.h"

#include "platform/local_path.h"
#include "platform/locked_file.h"
#include "platform/windows/file_identity_of_handle.h"

#include <cstddef>
#include <fcntl.h>
#include <io.h>
#include <utility>
#include <vector>

namespace tessaldrin::platform {
namespace {

// The file's handle; the object keeps it as the C runtime's descriptor over
// it, which closes the handle when the descriptor is closed.
HANDLE HandleOf(int descriptor) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
}

using Reason = OpenFailure::Reason;

// Nothing, after giving `why` the reason.
std::nullopt_t Refused(OpenFailure* why, Reason reason, DWORD error = 0) {
    if (why != nullptr) {
        *why = {reason, static_cast<long>(error)};
    }
    return std::nullopt;
}

// The reason of a failed CreateFileA, after the error it set. Windows denies
// access to a directory as to a file the user may not write: the entry's
// attributes tell the two apart.
std::nullopt_t RefusedByError(OpenFailure* why, const std::string& path) {
    const DWORD error = GetLastError();
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return Refused(why, Reason::kMissing);
    case ERROR_ACCESS_DENIED: {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        const bool directory =
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        return Refused(why, directory ? Reason::kNotRegularFile : Reason::kNoPermission);
    }
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return Refused(why, Reason::kHeldElsewhere);
    case ERROR_WRITE_PROTECT:
        return Refused(why, Reason::kReadOnlyFileSystem);
    case ERROR_FILENAME_EXCED_RANGE:
        return Refused(why, Reason::kNameTooLong);
    case ERROR_CANT_ACCESS_FILE: // a reparse point the system cannot open
        return Refused(why, Reason::kLink);
    default:
        return Refused(why, Reason::kOther, error);
    }
}

// Nothing for a file on a disk with one name, not a directory and not a link
// (the open did not follow one, so a link shows here as a reparse point);
// else why it is refused.
std::optional<Reason> NotSingleNamedFile(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(file) != FILE_TYPE_DISK) {
        return Reason::kNotRegularFile;
    }
    if (!GetFileInformationByHandle(file, &info)) {
        return Reason::kOther;
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return Reason::kLink;
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return Reason::kNotRegularFile;
    }
    if (info.nNumberOfLinks != 1) {
        return Reason::kSecondName;
    }
    return std::nullopt;
}

OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    position.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return position;
}

DWORD Clamped(std::size_t count) {
    return count > MAXDWORD ? MAXDWORD : static_cast<DWORD>(count);
}

} // namespace

std::optional<LockedFile> LockedFile::Open(const std::string& path, OpenFailure* why) {
    if (path.empty() || HoldsZeroByte(path)) {
        return Refused(why, Reason::kMissing);
    }
    // Sharing only reading keeps every other writer out while the file is
    // open, and fails at once while another process (the server) holds it
    // open for writing. Without FILE_SHARE_DELETE nobody else can rename or
    // delete it while it is held; the DELETE access lets this handle rename it.
    const HANDLE handle =
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return RefusedByError(why, path);
    }
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDWR | _O_BINARY);
    if (descriptor < 0) {
        CloseHandle(handle);
        return Refused(why, Reason::kOther, ERROR_TOO_MANY_OPEN_FILES);
    }
    LockedFile file(descriptor, path);
    const std::optional<FileIdentity> identity = IdentityOfHandle(handle);
    if (const auto refused = NotSingleNamedFile(handle)) {
        return Refused(why, *refused, *refused == Reason::kOther ? GetLastError() : 0);
    }
    if (!identity) {
        return Refused(why, Reason::kOther, GetLastError());
    }
    file.identity_ = *identity;
    return file;
}

void LockedFile::Release() {
    if (descriptor_ >= 0) {
        // Closes the handle too, and with it the file's sharing restriction.
        _close(descriptor_);
        descriptor_ = -1;
    }
}

// The rename through the held handle itself, never replacing an existing
// entry: the handle shares no delete access, so no other process can have
// renamed the file since it was opened, and none can take it in between.
bool LockedFile::MoveTo(const std::string& to) {
    if (descriptor_ < 0 || to.empty() || HoldsZeroByte(to)) {
        return false;
    }
    if (to == path_) {
        return true;
    }
    const int wideLength = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, to.c_str(),
                                               static_cast<int>(to.size()), nullptr, 0);
    if (wideLength <= 0) {
        return false;
    }
    // FILE_RENAME_INFO ends in a variable-length name; the buffer holds it
    // and a terminating zero.
    const std::size_t bytes = offsetof(FILE_RENAME_INFO, FileName) +
                              (static_cast<std::size_t>(wideLength) + 1) * sizeof(WCHAR);
    std::vector<std::byte> buffer(bytes);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = FALSE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(wideLength * sizeof(WCHAR));
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, to.c_str(), static_cast<int>(to.size()),
                        info->FileName, wideLength);
    if (!SetFileInformationByHandle(HandleOf(descriptor_), FileRenameInfo, info,
                                    static_cast<DWORD>(bytes))) {
        return false;
    }
    path_ = to;
    return true;
}

std::size_t LockedFile::ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t count) {
    ++reads_;
    OVERLAPPED position = At(offset);
    DWORD done = 0;
    return ReadFile(HandleOf(descriptor_), buffer, Clamped(count), &done, &position) ? done : 0;
}

std::size_t LockedFile::WriteAt(std::uint64_t offset, const std::uint8_t* buffer,
                                std::size_t count) {
    ++writes_;
    OVERLAPPED position = At(offset);
    DWORD done = 0;
    return WriteFile(HandleOf(descriptor_), buffer, Clamped(count), &done, &position) ? done : 0;
}

// The share mode has kept every other writer out since the open.
LockedFile::SoleAccess::SoleAccess(LockedFile& file) {
    if (file.descriptor_ < 0) {
        refusal_ = OpenFailure{OpenFailure::Reason::kOther, ERROR_INVALID_HANDLE};
    }
}

LockedFile::SoleAccess::~SoleAccess() = default;

// The share mode of the held handle keeps every writer out for as long as it
// is held, so the access granted stays granted.
bool LockedFile::SoleAccess::Kept() const {
    return !refusal_;
}

bool LockedFile::Sync() {
    return FlushFileBuffers(HandleOf(descriptor_)) != 0;
}

std::optional<std::uint64_t> LockedFile::Size() const {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(HandleOf(descriptor_), &size)) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(size.QuadPart);
}

// The end moved: the file system takes the room for a file that is not
// sparse at once, and reads every byte between the old and the new end as
// zero.
bool LockedFile::Reserve(std::uint64_t size) {
    const auto now = Size();
    if (!now) {
        return false;
    }
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
    return *now >= size ||
           SetFileInformationByHandle(HandleOf(descriptor_), FileEndOfFileInfo, &end, sizeof end);
}

bool LockedFile::Shorten(std::uint64_t size) {
    const auto now = Size();
    if (!now) {
        return false;
    }
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
    return *now <= size ||
           SetFileInformationByHandle(HandleOf(descriptor_), FileEndOfFileInfo, &end, sizeof end);
}

} // namespace tessaldrin::platform
