#include "platform/windows/windows_api.h"

#include "versioninfo/replace_file.h"

namespace tessaldrin::versioninfo {
namespace {

// The system's own words for the last error, in the ANSI code page.
std::string LastErrorText() {
    const DWORD error = GetLastError();
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string reason = length > 0 && text != nullptr ? std::string(text, length)
                                                       : "Systemfehler " + std::to_string(error);
    LocalFree(text);
    // The system ends its texts with a line break.
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) {
        reason.pop_back();
    }
    return reason;
}

FileFailure Failed(FileFailure::Step step) {
    return FileFailure{step, LastErrorText()};
}

} // namespace

std::optional<FileFailure> ReplaceFileContents(const std::string& path, const std::string& bytes) {
    // The report is written into a new file beside its name, which then takes
    // the name: whatever the name was (a link to another file, a second name
    // of one), only the name is replaced, and no byte reaches another file.
    constexpr int kAttempts = 16;
    std::string written;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < kAttempts && file == INVALID_HANDLE_VALUE; ++attempt) {
        written =
            path + "~" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(attempt);
        file = CreateFileA(written.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
            break;
        }
    }
    if (file == INVALID_HANDLE_VALUE) {
        return Failed(FileFailure::Step::Create);
    }
    DWORD done = 0;
    const bool wrote =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
        done == bytes.size() && FlushFileBuffers(file);
    std::optional<FileFailure> failure =
        wrote ? std::nullopt : std::optional<FileFailure>(Failed(FileFailure::Step::Write));
    // Closing reports a write that the system deferred.
    if (!CloseHandle(file) && !failure) {
        failure = Failed(FileFailure::Step::Write);
    }
    if (!failure && !MoveFileExA(written.c_str(), path.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        failure = Failed(FileFailure::Step::Create);
    }
    if (failure) {
        DeleteFileA(written.c_str());
    }
    return failure;
}

} // namespace tessaldrin::versioninfo
