// Real databases on the local Firebird servers for the tests: a directory the
// server may write, databases created with its isql, and reads through it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tessaldrin::testing {

// A local server that the tests meet for real. It sees only its root, and
// its databases live in its data directory, by the same path inside the root.
struct Server {
    const char* name; // as the names of the tests that it runs end
    int port;
    std::filesystem::path root, passwordFile /* in the root */, dataDir;
    // What a test checks that the server is, so that none passes against another.
    const char* version;        // as its service manager names it
    std::uint16_t odsVersion;   // the word at offset 18 of the files it makes
    std::vector<int> pageSizes; // the page sizes it creates databases with
    // Its own client tools and client library; empty: the host's Firebird 3
    // tools (isql-fb, gfix, fbsvcmgr) and the system's client library.
    std::filesystem::path tools{}, clientLibraryDir{};
    bool changesFileTable = false;   // lets the program's user change RDB$FILES
    std::filesystem::path logFile{}; // the server's own log, in the root
    std::string Address() const;     // "localhost", or "localhost/PORT" but for 3050
};
// The host's Firebird 3 on 3050; Firebird 4 on 3051 in the root that
// scripts/firebird4-server runs it from; Firebird 2.5 on 3052 from the prefix
// that scripts/firebird25-server built.
const Server& Firebird3();
const Server& Firebird4();
const Server& Firebird25();
const std::vector<const Server*>& AllServers();
// The server whose data directory holds `file`: the helpers below that take a
// database file talk to that server.
const Server& ServerOf(const std::filesystem::path& file);

std::string SysdbaPassword(const Server& server = Firebird3());

// The command of the server's client tool `name` ("isql", "gfix", "fbsvcmgr").
std::string Tool(const Server& server, const std::string& name);
// What goes before a shell command so that it loads the server's client
// library.
std::string WithClientLibrary(const Server& server);

struct CommandResult {
    int status = -1;    // the exit status; -1 when it did not exit normally
    std::string output; // what it wrote to standard output
};
using IsqlResult = CommandResult;

// Runs `command` through the shell and collects its standard output.
CommandResult RunCommand(const std::string& command);

// Runs `sql` as a script through isql of `server`; `database`, when given,
// is connected first ("localhost:/path") as SYSDBA.
IsqlResult RunIsql(const std::string& sql, const std::string& database = {},
                   const Server& server = Firebird3());

// A fresh directory in the server's data directory that belongs to the
// server's user, so that the server can create and open database files in it;
// removed with its contents.
class ServerDir {
public:
    explicit ServerDir(const std::string& prefix = "tm-test", const Server& server = Firebird3());
    ~ServerDir();
    ServerDir(const ServerDir&) = delete;
    ServerDir& operator=(const ServerDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The directory with a trailing "/", as the program names directories.
    std::string withSeparator() const { return path_.string() + "/"; }
    // A further subdirectory of the same kind (for the place a database moves to).
    std::filesystem::path makeSubdir(const std::string& name) const;

private:
    std::filesystem::path path_;
};

// A multi-file database: `files[0]` is the primary file, each later one starts
// `pagesPerFile` pages after the one before. Table T gets `rows` rows of about
// 1 KB that do not compress, so that with enough rows every file holds data.
enum class Owner {
    Sysdba,      // the server's administrator
    ProgramUser, // the program's own fixed user, as a Tessaldrin database is owned
};
struct DatabaseLayout {
    std::vector<std::filesystem::path> files;
    Owner owner = Owner::Sysdba;
    int pageSize = 4096;
    int pagesPerFile = 300;
    int rows = 1500;
    // A text blob of about 5 KB in every row, and a second index on T.
    bool blobs = false;
};
void CreateDatabase(const DatabaseLayout& layout);

// The number of rows of T, read through the server by isql from `primary`;
// -1 when the database cannot be opened (the output then goes to `diagnostics`).
long CountRows(const std::filesystem::path& primary, std::string* diagnostics = nullptr);

// Adds rows `from` to `from + count - 1` to T of the database of `primary`,
// each with its blob where `blobs`; whether isql-fb could.
bool InsertRows(const std::filesystem::path& primary, int from, int count, bool blobs);

// Every row of T with its blob, as isql-fb lists them in ID order; empty
// when the database cannot be opened.
std::string DumpRows(const std::filesystem::path& primary);

// The names RDB$FILES holds, in sequence order.
std::vector<std::string> StoredFileNames(const std::filesystem::path& primary);

// What `gfix -v -full` says of the database of `primary`.
CommandResult Validate(const std::filesystem::path& primary);

// What the service manager of `server` answers to info_server_version.
std::string ServerVersion(const Server& server);

// An attachment that another process holds on a database while it lives: an
// isql session that has read from the database and waits for more input.
// The constructor returns only once the server provably holds the database:
// the session has answered its query, so the attachment and the server's own
// writes of it are done, and every file of `files` (the primary first, then
// the files that the server opens along its links) is open in the server's
// process (Firebird 2.5 takes no lock that would show it). When it goes, it
// waits until the server has closed them all. Either wait is bounded; the
// constructor throws when it runs out.
class HeldAttachment {
public:
    explicit HeldAttachment(const std::filesystem::path& primary);
    explicit HeldAttachment(const std::vector<std::filesystem::path>& files);
    ~HeldAttachment();
    HeldAttachment(const HeldAttachment&) = delete;
    HeldAttachment& operator=(const HeldAttachment&) = delete;

private:
    struct FileId {
        unsigned long long device;
        unsigned long long inode;
    };
    bool AllOpen() const;
    bool NoneOpen() const;

    // The files by device and inode, so that a move of the files while the
    // server holds them does not lose track of them.
    std::vector<FileId> files_;
    std::filesystem::path output_;
    FILE* session_ = nullptr;
};

// True while some other process has `file` open (as /proc/PID/fd shows it,
// for every process when the tests run as root).
bool IsOpenInAnotherProcess(const std::filesystem::path& file);

// True while some other process holds a lock on `file` (as /proc/locks
// shows it; the file is not touched, so asking never takes a lock that the
// server could meet).
bool IsLockedByAnotherProcess(const std::filesystem::path& file);
// Likewise for a lock that this process holds (through any descriptor).
bool IsLockedByThisProcess(const std::filesystem::path& file);

// Waits until `condition` holds, for at most `seconds`; whether it held.
bool WaitUntil(const std::function<bool()>& condition, double seconds = 30);

// A copy of `from` at `to` that the server's user owns, as its own files are.
void CopyForServer(const std::filesystem::path& from, const std::filesystem::path& to);

// Moves every file of `from` into `to` under the same name.
void MoveFiles(const std::vector<std::filesystem::path>& from, const std::filesystem::path& to);

// The whole content of a file.
std::string ReadBytes(const std::filesystem::path& file);

} // namespace tessaldrin::testing
