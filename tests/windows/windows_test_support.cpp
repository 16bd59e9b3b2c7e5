#include "platform/windows/windows_api.h"

#include "tests/windows/windows_test_support.h"

#include "tests/app/whole_run_expectation.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tessaldrin::testing::windows {
namespace {

namespace fs = std::filesystem;

constexpr DWORD kLongestWaitMs = 60000;

std::string Unique(const std::string& prefix) {
    static std::atomic<unsigned> counter{0};
    return prefix + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
}

// A handle of ours that a child may inherit; closed when the object goes.
struct Handle {
    HANDLE value = INVALID_HANDLE_VALUE;
    ~Handle() {
        if (value != INVALID_HANDLE_VALUE && value != nullptr) {
            CloseHandle(value);
        }
    }
};

HANDLE InheritableFile(const std::string& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

WinTempDir::WinTempDir() : path_((fs::temp_directory_path() / Unique("tm-win-")).string() + "\\") {
    fs::create_directory(path_);
}

WinTempDir::~WinTempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::vector<std::string> WinTempDir::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Reads as any reader may while the program holds the file: sharing its
// writes and the rename that it may make.
std::string ReadAll(const std::string& file) {
    const HANDLE in = CreateFileA(file.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    if (in == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot read " + file);
    }
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(in, chunk, sizeof chunk, &got, nullptr) && got > 0) {
        bytes.append(chunk, got);
    }
    CloseHandle(in);
    return bytes;
}

void WriteAll(const std::string& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
        throw std::runtime_error("cannot write " + file);
    }
}

std::string ProgramDir() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string program(path, length);
    return program.substr(0, program.find_last_of("\\:") + 1);
}

std::string InstallProgram(const WinTempDir& dir, const std::string& name) {
    WriteAll(dir / name, ReadAll(ProgramDir() + name));
    return dir / name;
}

void PlaceMovedDatabaseWithStandIn(const WinTempDir& dir) {
    WriteAll(dir / "gds32.dll", ReadAll(ProgramDir() + "gds32.dll"));
    WriteAll(dir / "gds32.rows", "1\t" + whole_run::kOldSecondary + "\n");
    WriteAll(dir / "Tessaldrin.GDB", whole_run::PrimaryPage(whole_run::kOldSecondary).Text());
    WriteAll(dir / "Tessaldrin_1.GDB", whole_run::SecondaryPage().Text());
}

HeldByAnotherProcess::HeldByAnotherProcess(const std::string& file, bool writes) {
    const std::string ready = Unique("tm-held-ready-");
    const std::string release = Unique("tm-held-release-");
    Handle readyEvent{CreateEventA(nullptr, TRUE, FALSE, ready.c_str())};
    release_ = CreateEventA(nullptr, TRUE, FALSE, release.c_str());
    std::string command = "\"" + ProgramDir() + "file_holder.exe\" \"" + file + "\" " + ready +
                          " " + release + (writes ? "" : " read");
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (readyEvent.value == nullptr || release_ == nullptr ||
        !CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        throw std::runtime_error("cannot start the holding process");
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    // Ready, or the holder ended because it could not open the file.
    HANDLE either[2] = {readyEvent.value, info.hProcess};
    if (WaitForMultipleObjects(2, either, FALSE, kLongestWaitMs) != WAIT_OBJECT_0) {
        throw std::runtime_error("the holding process did not open " + file);
    }
}

HeldByAnotherProcess::~HeldByAnotherProcess() {
    SetEvent(release_);
    WaitForSingleObject(process_, kLongestWaitMs);
    CloseHandle(process_);
    CloseHandle(release_);
}

std::string WithCrLf(const std::string& text) {
    std::string crlf;
    for (const char c : text) {
        crlf += c == '\n' ? "\r\n" : std::string(1, c);
    }
    return crlf;
}

ProgramRun RunProgram(const std::string& program, const std::string& arguments,
                      const std::string& workingDir) {
    const std::string outFile = workingDir + Unique("out-") + ".txt";
    const std::string errFile = workingDir + Unique("err-") + ".txt";
    ProgramRun run;
    {
        Handle in{InheritableFile("NUL", GENERIC_READ, OPEN_EXISTING)};
        Handle out{InheritableFile(outFile, GENERIC_WRITE, CREATE_ALWAYS)};
        Handle err{InheritableFile(errFile, GENERIC_WRITE, CREATE_ALWAYS)};
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = in.value;
        startup.hStdOutput = out.value;
        startup.hStdError = err.value;
        std::string command = "\"" + program + "\" " + arguments;
        PROCESS_INFORMATION info{};
        if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                            workingDir.c_str(), &startup, &info)) {
            throw std::runtime_error("cannot start " + program);
        }
        CloseHandle(info.hThread);
        if (WaitForSingleObject(info.hProcess, kLongestWaitMs) != WAIT_OBJECT_0) {
            TerminateProcess(info.hProcess, 99);
            WaitForSingleObject(info.hProcess, kLongestWaitMs);
        }
        DWORD code = 0;
        GetExitCodeProcess(info.hProcess, &code);
        run.exitCode = code;
        CloseHandle(info.hProcess);
    }
    run.out = ReadAll(outFile);
    run.err = ReadAll(errFile);
    DeleteFileA(outFile.c_str());
    DeleteFileA(errFile.c_str());
    return run;
}

} // namespace tessaldrin::testing::windows
