#include "tests/support/firebird_fixture.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <grp.h>
#include <iostream>
#include <pwd.h>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace tessaldrin::testing {
namespace {

// Gives `path` to the user firebird of the server's root, by the numbers
// there, which need not be those of this machine's user of that name.
void ChownToServer(const fs::path& path, const Server& server) {
    FILE* users = std::fopen((server.root / "etc/passwd").c_str(), "r");
    const passwd* user = nullptr;
    while (users != nullptr && (user = fgetpwent(users)) != nullptr &&
           std::string(user->pw_name) != "firebird") {
    }
    const bool given = user != nullptr && chown(path.c_str(), user->pw_uid, user->pw_gid) == 0;
    if (users == nullptr || std::fclose(users) != 0 || !given) {
        throw std::runtime_error("cannot give " + path.string() + " to user firebird of the " +
                                 server.name + " server: does it run (scripts/test starts it)?");
    }
}

// The connection string of the database of `primary` on its server.
std::string DatabaseString(const fs::path& primary) {
    return ServerOf(primary).Address() + ":" + primary.string();
}

std::string Quoted(const std::string& text) {
    std::string result = "'";
    for (char c : text) {
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return result + "'";
}

// The options of a client tool that log in as the server's SYSDBA.
std::string AsSysdba(const Server& server) {
    return " -user SYSDBA -password " + Quoted(SysdbaPassword(server)) + " ";
}

// Rows `from` to `from + count - 1` of T, each with a blob where `blobs`.
std::string InsertRowsSql(int from, int count, bool blobs) {
    std::ostringstream sql;
    sql << "SET TERM ^;\n"
           "EXECUTE BLOCK AS DECLARE I INTEGER = "
        << from << "; BEGIN\n  WHILE (I < " << from + count
        << ") DO BEGIN\n"
           "    INSERT INTO T (ID, PAD"
        << (blobs ? ", B" : "") << ") VALUES (:I, LPAD('', 1080, UUID_TO_CHAR(GEN_UUID()))"
        << (blobs ? ", LPAD('', 5000, UUID_TO_CHAR(GEN_UUID()))" : "")
        << ");\n"
           "    I = I + 1;\n"
           "  END\n"
           "END^\n"
           "SET TERM ;^\n"
           "COMMIT;\n";
    return sql.str();
}

// What isql prints when the server closed the connection under it.
constexpr std::string_view kConnectionLost = "SQLSTATE = 08006";

// The last lines of the server's own log, for a failure's message.
std::string LogTail(const Server& server, std::size_t lines = 20) {
    std::ifstream in(server.root / server.logFile.relative_path());
    std::vector<std::string> tail;
    for (std::string line; std::getline(in, line);) {
        tail.push_back(line);
        if (tail.size() > lines) {
            tail.erase(tail.begin());
        }
    }
    std::string text;
    for (const std::string& line : tail) {
        text += line + "\n";
    }
    return text;
}

} // namespace

std::string Server::Address() const {
    return port == 3050 ? "localhost" : "localhost/" + std::to_string(port);
}

const Server& Firebird3() {
    static const Server server{"Firebird3", 3050,
                               "/",         "/etc/firebird/3.0/SYSDBA.password",
                               "/tmp",      "Firebird 3.0",
                               0x800C,      {4096, 8192, 16384},
                               {},          {},
                               false,       "/var/log/firebird/firebird3.0.log"};
    return server;
}

const Server& Firebird4() {
    static const Server server{"Firebird4",
                               3051,
                               "/run/tessaldrin-firebird4/root",
                               "/etc/firebird/4.0/SYSDBA.password",
                               "/var/tmp/tessaldrin-firebird4",
                               "Firebird 4.0",
                               0x800D,
                               {4096, 8192, 16384, 32768},
                               {},
                               {},
                               false,
                               "/var/log/firebird/firebird4.0.log"};
    return server;
}

// Where scripts/firebird25-server names the prefix of the server it started.
const Server& Firebird25() {
    static const fs::path prefix = "/run/tessaldrin-firebird25/prefix";
    static const Server server{"Firebird25",
                               3052,
                               "/",
                               prefix / "SYSDBA.password",
                               "/var/tmp/tessaldrin-firebird25",
                               "Firebird 2.5",
                               0x800B,
                               {1024, 2048, 4096, 8192, 16384},
                               prefix / "bin",
                               prefix / "lib",
                               true,
                               prefix / "firebird.log"};
    return server;
}

const std::vector<const Server*>& AllServers() {
    static const std::vector<const Server*> servers{&Firebird25(), &Firebird3(), &Firebird4()};
    return servers;
}

const Server& ServerOf(const fs::path& file) {
    for (const Server* server : {&Firebird4(), &Firebird25()}) {
        if (file.string().rfind(server->dataDir.string() + "/", 0) == 0) {
            return *server;
        }
    }
    return Firebird3();
}

std::string Tool(const Server& server, const std::string& name) {
    if (server.tools.empty()) {
        return name == "isql" ? "isql-fb" : name;
    }
    return Quoted((server.tools / name).string());
}

std::string WithClientLibrary(const Server& server) {
    return server.clientLibraryDir.empty()
               ? ""
               : "export LD_LIBRARY_PATH=" + Quoted(server.clientLibraryDir.string()) + "; ";
}

std::string SysdbaPassword(const Server& server) {
    const fs::path file = server.root / server.passwordFile.relative_path();
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        const std::string key = "ISC_PASSWORD=";
        if (line.rfind(key, 0) == 0) {
            std::string value = line.substr(key.size());
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
                value = value.substr(1, value.size() - 2);
            }
            return value;
        }
    }
    throw std::runtime_error("no ISC_PASSWORD in " + file.string());
}

IsqlResult RunIsql(const std::string& sql, const std::string& database, const Server& server) {
    char scriptName[] = "/tmp/tm-isql-XXXXXX";
    const int fd = mkstemp(scriptName);
    if (fd < 0) {
        throw std::runtime_error("cannot create an isql script file");
    }
    close(fd);
    std::ofstream(scriptName) << sql << "\n";
    // isql converts the database path from its locale: UTF-8 keeps the bytes.
    std::string command = "LC_ALL=C.UTF-8 " + Tool(server, "isql") + " -q";
    // Without a database the script logs in itself (CREATE DATABASE ... USER):
    // Firebird 2.5's isql then refuses a login of its command line as well.
    if (!database.empty()) {
        command += AsSysdba(server) + " " + Quoted(database);
    }
    command += " -i " + Quoted(scriptName) + " 2>&1";
    const IsqlResult result = RunCommand(command);
    unlink(scriptName);
    return result;
}

CommandResult RunCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buffer[4096];
    std::size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        result.output.append(buffer, n);
    }
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

ServerDir::ServerDir(const std::string& prefix, const Server& server) {
    std::string pattern = (server.dataDir / (prefix + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a directory in " + server.dataDir.string() +
                                 ": does the " + server.name + " server run?");
    }
    path_ = pattern;
    try {
        ChownToServer(path_, server);
    } catch (...) {
        fs::remove(path_);
        throw;
    }
}

ServerDir::~ServerDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

fs::path ServerDir::makeSubdir(const std::string& name) const {
    const fs::path dir = path_ / name;
    fs::create_directories(dir);
    ChownToServer(dir, ServerOf(dir));
    return dir;
}

void CreateDatabase(const DatabaseLayout& layout) {
    if (layout.files.empty()) {
        throw std::invalid_argument("a database needs a primary file");
    }
    std::ostringstream sql;
    const bool program = layout.owner == Owner::ProgramUser;
    const Server& server = ServerOf(layout.files[0]);
    sql << "CREATE DATABASE '" << server.Address() << ":" << layout.files[0].string() << "' USER '"
        << (program ? "Masterquill" : "SYSDBA") << "' PASSWORD '"
        << (program ? "KvomT" : SysdbaPassword(server)) << "' PAGE_SIZE " << layout.pageSize;
    if (layout.files.size() > 1) {
        sql << " LENGTH " << layout.pagesPerFile << " PAGES";
    }
    for (std::size_t i = 1; i < layout.files.size(); ++i) {
        sql << "\n  FILE '" << layout.files[i].string() << "' STARTING AT PAGE "
            << 1 + static_cast<long>(i) * layout.pagesPerFile;
        if (i + 1 < layout.files.size()) {
            sql << " LENGTH " << layout.pagesPerFile << " PAGES";
        }
    }
    sql << ";\n"
           "CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY, PAD VARCHAR(1100)"
        << (layout.blobs ? ", B BLOB SUB_TYPE TEXT);\nCREATE DESCENDING INDEX T_ID ON T (ID)" : ")")
        << ";\nCOMMIT;\n"
        << InsertRowsSql(0, layout.rows, layout.blobs);
    IsqlResult result = RunIsql(sql.str(), {}, server);
    // A server that drops the connection while it creates the files (seen
    // rarely on a loaded machine, and never while the program ran) gets one
    // more try on a clean directory; what its log says goes to the test's
    // output either way.
    if (result.status != 0 && result.output.find(kConnectionLost) != std::string::npos) {
        std::cerr << "the " << server.name << " server lost the connection creating "
                  << layout.files[0] << "; its log ends:\n"
                  << LogTail(server) << "trying once more\n";
        for (const fs::path& file : layout.files) {
            std::error_code ignored;
            fs::remove(file, ignored);
        }
        result = RunIsql(sql.str(), {}, server);
    }
    if (result.status != 0 || !fs::exists(layout.files.back())) {
        throw std::runtime_error("isql could not create the database on the " +
                                 std::string(server.name) + " server:\n" + result.output +
                                 "its log ends:\n" + LogTail(server));
    }
}

long CountRows(const fs::path& primary, std::string* diagnostics) {
    const IsqlResult result = RunIsql("SET HEADING OFF;\nSELECT 'ROWS=' || COUNT(*) FROM T;\n",
                                      DatabaseString(primary), ServerOf(primary));
    const auto at = result.output.find("ROWS=");
    if (result.status != 0 || at == std::string::npos) {
        if (diagnostics != nullptr) {
            *diagnostics = result.output;
        }
        return -1;
    }
    return std::strtol(result.output.c_str() + at + 5, nullptr, 10);
}

bool InsertRows(const fs::path& primary, int from, int count, bool blobs) {
    return RunIsql(InsertRowsSql(from, count, blobs), DatabaseString(primary), ServerOf(primary))
               .status == 0;
}

std::string DumpRows(const fs::path& primary) {
    const IsqlResult result = RunIsql("SET LIST ON;\nSET BLOB ALL;\nSELECT * FROM T ORDER BY ID;\n",
                                      DatabaseString(primary), ServerOf(primary));
    return result.status == 0 ? result.output : std::string();
}

std::vector<std::string> StoredFileNames(const fs::path& primary) {
    const IsqlResult result = RunIsql("SET HEADING OFF;\nSELECT '<' || TRIM(RDB$FILE_NAME) || '>' "
                                      "FROM RDB$FILES ORDER BY RDB$FILE_SEQUENCE;\n",
                                      DatabaseString(primary), ServerOf(primary));
    std::vector<std::string> names;
    std::istringstream lines(result.output);
    std::string line;
    while (std::getline(lines, line)) {
        const auto open = line.find('<');
        const auto close = line.rfind('>');
        if (open != std::string::npos && close != std::string::npos && close > open) {
            names.push_back(line.substr(open + 1, close - open - 1));
        }
    }
    return names;
}

CommandResult Validate(const fs::path& primary) {
    const Server& server = ServerOf(primary);
    return RunCommand("LC_ALL=C.UTF-8 " + Tool(server, "gfix") + " -v -full" + AsSysdba(server) +
                      Quoted(DatabaseString(primary)) + " 2>&1");
}

std::string ServerVersion(const Server& server) {
    return RunCommand(Tool(server, "fbsvcmgr") + " " + server.Address() + ":service_mgr" +
                      AsSysdba(server) + "info_server_version 2>&1")
        .output;
}

namespace {

// What the session prints once it has answered; built from two parts in the
// query, so that only the answer carries it whole.
constexpr const char* kAnswered = "TM-HELD-READY";

struct Lock {
    long pid;
    unsigned long long device; // major and minor as the kernel packs them
    unsigned long long inode;
};

// The locks that /proc/locks lists as held (not those waited for), by file.
std::vector<Lock> HeldLocks() {
    std::vector<Lock> locks;
    std::ifstream in("/proc/locks");
    std::string line;
    while (std::getline(in, line)) {
        if (line.find("->") != std::string::npos) {
            continue; // a request that waits for the lock before it
        }
        std::istringstream fields(line);
        std::string id, kind, mode, access, where;
        long pid = 0;
        if (!(fields >> id >> kind >> mode >> access >> pid >> where)) {
            continue;
        }
        unsigned major = 0;
        unsigned minor = 0;
        unsigned long long inode = 0;
        if (std::sscanf(where.c_str(), "%x:%x:%llu", &major, &minor, &inode) == 3) {
            locks.push_back({pid, makedev(major, minor), inode});
        }
    }
    return locks;
}

// Whether a lock on the file is held by this process (`ours`) or by another.
bool LockedBy(bool ours, const std::vector<Lock>& locks, unsigned long long device,
              unsigned long long inode) {
    const long self = getpid();
    return std::any_of(locks.begin(), locks.end(), [&](const Lock& lock) {
        return lock.device == device && lock.inode == inode && (lock.pid == self) == ours;
    });
}

bool FileLockedBy(bool ours, const fs::path& file) {
    struct stat status {};
    return stat(file.c_str(), &status) == 0 &&
           LockedBy(ours, HeldLocks(), status.st_dev, status.st_ino);
}

// The files, by device and inode, that processes other than this one have
// open, as their descriptors in /proc show them.
std::set<std::pair<unsigned long long, unsigned long long>> OpenElsewhere() {
    std::set<std::pair<unsigned long long, unsigned long long>> open;
    const std::string self = std::to_string(getpid());
    std::error_code error;
    for (const auto& process : fs::directory_iterator("/proc", error)) {
        const std::string pid = process.path().filename().string();
        if (pid == self || pid.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        // A process may end, and its descriptors go, while it is looked at.
        std::error_code gone;
        for (const auto& fd : fs::directory_iterator(process.path() / "fd", gone)) {
            struct stat status {};
            if (stat(fd.path().c_str(), &status) == 0) {
                open.emplace(status.st_dev, status.st_ino);
            }
        }
    }
    return open;
}

} // namespace

bool WaitUntil(const std::function<bool()>& condition, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return condition();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

HeldAttachment::HeldAttachment(const fs::path& primary)
    : HeldAttachment(std::vector<fs::path>{primary}) {}

HeldAttachment::HeldAttachment(const std::vector<fs::path>& files) {
    if (files.empty()) {
        throw std::invalid_argument("an attachment needs the primary file");
    }
    for (const auto& file : files) {
        struct stat status {};
        if (stat(file.c_str(), &status) != 0) {
            throw std::runtime_error("no database file " + file.string());
        }
        files_.push_back({status.st_dev, status.st_ino});
    }
    char outputName[] = "/tmp/tm-held-XXXXXX";
    const int fd = mkstemp(outputName);
    if (fd < 0) {
        throw std::runtime_error("cannot create a file for the session's output");
    }
    close(fd);
    output_ = outputName;
    const Server& server = ServerOf(files[0]);
    const std::string command = "LC_ALL=C.UTF-8 " + Tool(server, "isql") + " -q" +
                                AsSysdba(server) + Quoted(DatabaseString(files[0])) + " >" +
                                Quoted(output_.string()) + " 2>&1";
    session_ = popen(command.c_str(), "w");
    if (session_ == nullptr) {
        fs::remove(output_);
        throw std::runtime_error("cannot start isql-fb");
    }
    std::fputs("SELECT 'TM-HELD-' || 'READY' FROM RDB$DATABASE;\n", session_);
    std::fflush(session_);
    const bool held = WaitUntil(
        [&] { return ReadBytes(output_).find(kAnswered) != std::string::npos && AllOpen(); });
    if (!held) {
        std::fputs("QUIT;\n", session_);
        pclose(session_);
        const std::string output = ReadBytes(output_);
        fs::remove(output_);
        throw std::runtime_error("the server did not attach " + files[0].string() +
                                 " and open all its files:\n" + output);
    }
}

HeldAttachment::~HeldAttachment() {
    std::fputs("QUIT;\n", session_);
    pclose(session_);
    // The server detaches once the session has gone; the files are free
    // only when it has closed them all.
    if (!WaitUntil([&] { return NoneOpen(); })) {
        std::fprintf(stderr, "the server still holds the files after the session ended\n");
    }
    std::error_code ignored;
    fs::remove(output_, ignored);
}

bool HeldAttachment::AllOpen() const {
    const auto open = OpenElsewhere();
    return std::all_of(files_.begin(), files_.end(), [&](const FileId& file) {
        return open.count({file.device, file.inode}) != 0;
    });
}

bool HeldAttachment::NoneOpen() const {
    const auto open = OpenElsewhere();
    return std::none_of(files_.begin(), files_.end(), [&](const FileId& file) {
        return open.count({file.device, file.inode}) != 0;
    });
}

bool IsOpenInAnotherProcess(const fs::path& file) {
    struct stat status {};
    return stat(file.c_str(), &status) == 0 &&
           OpenElsewhere().count({status.st_dev, status.st_ino}) != 0;
}

bool IsLockedByAnotherProcess(const fs::path& file) {
    return FileLockedBy(false, file);
}

bool IsLockedByThisProcess(const fs::path& file) {
    return FileLockedBy(true, file);
}

void CopyForServer(const fs::path& from, const fs::path& to) {
    fs::copy_file(from, to);
    ChownToServer(to, ServerOf(to));
}

void MoveFiles(const std::vector<fs::path>& from, const fs::path& to) {
    for (const auto& file : from) {
        fs::rename(file, to / file.filename());
    }
}

std::string ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

} // namespace tessaldrin::testing
