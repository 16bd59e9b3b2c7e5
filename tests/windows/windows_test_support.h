// What the Windows tests need of the machine: fresh directories with Windows
// paths, files, other processes, and the programs built beside the tests.
#pragma once

#include <string>
#include <vector>

namespace tessaldrin::testing::windows {

// A fresh directory in the Windows temporary folder, removed with its
// contents. Paths are Windows paths, as GetModuleFileNameA gives them.
class WinTempDir {
public:
    WinTempDir();
    ~WinTempDir();
    WinTempDir(const WinTempDir&) = delete;
    WinTempDir& operator=(const WinTempDir&) = delete;

    // The directory with its trailing "\".
    const std::string& withSeparator() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + name; }
    // The names in the directory, sorted by bytes.
    std::vector<std::string> Names() const;

private:
    std::string path_;
};

std::string ReadAll(const std::string& file);
void WriteAll(const std::string& file, const std::string& bytes);
// The directory of this test program, with its trailing "\": the helper
// programs and the stand-in client library are built there.
std::string ProgramDir();

// The program `name`, built beside the tests, copied into `dir` as a user
// installs it beside the database files; returns its path there.
std::string InstallProgram(const WinTempDir& dir, const std::string& name);
// Beside it: the stand-in client library as gds32.dll, whose RDB$FILES holds
// the whole run's row, and the whole run's two database files, moved from E:\Alt\.
void PlaceMovedDatabaseWithStandIn(const WinTempDir& dir);

// Another Windows process that holds `file` open for reading and writing, as
// a database server holds the files of an attached database, or with
// `writes` false for reading only, as a plain program does; it lets others
// share reading and writing but not renaming. Released when the object goes.
class HeldByAnotherProcess {
public:
    explicit HeldByAnotherProcess(const std::string& file, bool writes = true);
    ~HeldByAnotherProcess();
    HeldByAnotherProcess(const HeldByAnotherProcess&) = delete;
    HeldByAnotherProcess& operator=(const HeldByAnotherProcess&) = delete;

private:
    void* process_ = nullptr;
    void* release_ = nullptr;
};

struct ProgramRun {
    unsigned long exitCode = ~0ul;
    std::string out; // standard output, byte for byte
    std::string err; // standard error, byte for byte
};
// `text` with every line feed as CR LF: the console program's output, as a
// file or pipe receives it.
std::string WithCrLf(const std::string& text);
// Runs `program` with `arguments` (one command line) in `workingDir`, its
// standard input empty, and waits for it to end (at most a minute).
ProgramRun RunProgram(const std::string& program, const std::string& arguments,
                      const std::string& workingDir);

} // namespace tessaldrin::testing::windows
