// The data module against the local Firebird 3 server through the installed
// client library: the server check, and the file table rewrite as far as a
// real server lets it go (Firebird 3 keeps RDB$FILES read-only).
#include "filetable/dm_files.h"
#include "tests/support/firebird_fixture.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <dirent.h>
#include <fstream>
#include <netinet/in.h>
#include <set>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>

using namespace tessaldrin;
using namespace tessaldrin::testing;
using filetable::ClientError;
using filetable::TdmFiles;

// A refused attachment makes the client library load its embedded engine
// plugin, which keeps thread-local storage; the leak check of GCC 12's
// sanitizer then reads a bogus dynamic TLS range of the main thread and
// crashes after every test has passed. The check runs here without scanning
// thread-local storage; everything else it checks as before.
extern "C" __attribute__((used, visibility("default"))) const char* __lsan_default_options() {
    return "use_tls=0";
}

namespace {

const std::string kNoServer =
    "Die Verbindung zum InterBase / FireBird-Server konnte nicht hergestellt werden: ";
const std::string kHeading = "Ändere File-Tabelle:";

// TCP connections of this process to the server's port: every attachment of
// the client library is one.
int ConnectionsToServer() {
    std::set<std::string> ownSockets;
    if (DIR* fds = opendir("/proc/self/fd")) {
        while (const dirent* entry = readdir(fds)) {
            char target[128] = {};
            const std::string link = std::string("/proc/self/fd/") + entry->d_name;
            const ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
            const std::string text(target, n > 0 ? static_cast<std::size_t>(n) : 0);
            if (text.rfind("socket:[", 0) == 0) {
                ownSockets.insert(text.substr(8, text.size() - 9));
            }
        }
        closedir(fds);
    }
    int count = 0;
    for (const char* table : {"/proc/self/net/tcp", "/proc/self/net/tcp6"}) {
        std::ifstream in(table);
        std::string line;
        std::getline(in, line); // heading
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
            fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >>
                timeout >> inode;
            const bool toServer = remote.size() > 5 && remote.substr(remote.size() - 5) == ":0BEA";
            const bool established = state == "01";
            if (toServer && established && ownSockets.count(inode) != 0) {
                ++count;
            }
        }
    }
    return count;
}

// A port on which nothing listens for as long as the holder lives: bound, but
// never listening, so a connection to it is refused.
class UnlistenedPort {
public:
    UnlistenedPort() {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            throw std::runtime_error("cannot reserve a port");
        }
        port_ = ntohs(address.sin_port);
    }
    ~UnlistenedPort() { close(fd_); }
    UnlistenedPort(const UnlistenedPort&) = delete;
    UnlistenedPort& operator=(const UnlistenedPort&) = delete;
    int port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

class DataModuleRealServer : public ::testing::Test {
protected:
    // The rewrite of the table of `files`' database, every row named after
    // its own name in `newDir`.
    filetable::FileTableOutcome ChangeFileTable(const std::vector<std::string>& files) {
        return dm.ChangeFileTable(
            port,
            {files.front(), files.size(),
             filetable::TargetNaming(filetable::TargetNaming::Rule::kTessaldrin, newDir, files)},
            &log);
    }

    // A three-file database in a fresh directory; `files` lists it. With
    // `grantUpdate` the program's user may update RDB$FILES as far as grants
    // go, so that the server's own protection of the table is what refuses.
    void CreateThreeFileDatabase(bool grantUpdate, const std::string& subdir = "db") {
        const auto place = dir.makeSubdir(subdir);
        layout = {};
        files.clear();
        layout.files = {place / "Tessaldrin.TDB", place / "Tessaldrin_1.TDB",
                        place / "Tessaldrin_2.TDB"};
        layout.rows = 10;
        CreateDatabase(layout);
        for (const auto& file : layout.files) {
            files.push_back(file.string());
        }
        newDir = place.string() + "/";
        if (grantUpdate) {
            const IsqlResult grant = RunIsql("GRANT UPDATE ON RDB$FILES TO USER MASTERQUILL;\n"
                                             "COMMIT;\n",
                                             "localhost:" + files[0]);
            ASSERT_EQ(grant.status, 0) << grant.output;
        }
        storedBefore = StoredFileNames(layout.files[0]);
        ASSERT_EQ(storedBefore.size(), 2u);
    }

    TdmFiles dm;
    std::int32_t port = 3050;
    std::string newDir;
    ListRunLog log;
    ServerDir dir{"tm-filetable"};
    DatabaseLayout layout;
    std::vector<std::string> files;
    std::vector<std::string> storedBefore;
};

} // namespace

TEST_F(DataModuleRealServer, CheckServerFindsTheServerOnItsPortAndLeavesNoAttachment) {
    ASSERT_EQ(ConnectionsToServer(), 0);
    EXPECT_TRUE(dm.CheckServer(port, &log));
    EXPECT_EQ(log.Lines, std::vector<std::string>{
                             "Datenbankmanagementsystem (Interbase / Firebird) vorhanden"});
    EXPECT_EQ(ConnectionsToServer(), 0);
    // A later check attaches anew.
    EXPECT_TRUE(dm.CheckServer(port, &log));
    EXPECT_EQ(log.Lines.size(), 2u);
    EXPECT_TRUE(dm.CheckServer(port, nullptr));
    EXPECT_EQ(ConnectionsToServer(), 0);
}

TEST_F(DataModuleRealServer, CheckServerReportsAPortWithoutServerWithTheLibrarysText) {
    UnlistenedPort port;
    EXPECT_FALSE(dm.CheckServer(port.port(), &log));
    ASSERT_EQ(log.Lines.size(), 1u);
    const std::string& entry = log.Lines[0];
    ASSERT_EQ(entry.rfind(kNoServer, 0), 0u) << entry;
    const std::string text = entry.substr(kNoServer.size());
    // The client library's own messages, several of them, in one entry.
    EXPECT_EQ(text.rfind("Unable to complete network request to host \"localhost", 0), 0u) << text;
    EXPECT_NE(text.find(".\r\n"), std::string::npos) << text;
    EXPECT_NE(text.back(), '.') << text;
    EXPECT_FALSE(dm.CheckServer(port.port(), nullptr));
    EXPECT_EQ(log.Lines.size(), 1u);
}

TEST_F(DataModuleRealServer, AWrongFileCountChangesNothing) {
    CreateThreeFileDatabase(true);
    files.push_back(newDir + "Tessaldrin_3.TDB");
    // Only the refusal of the update is the server keeping the table.
    EXPECT_EQ(ChangeFileTable(files), filetable::FileTableOutcome::kFailed);
    EXPECT_EQ(log.Lines, (std::vector<std::string>{
                             "", kHeading,
                             "Fehler: Die Anzahl der gefundenen Files stimmt nicht mit der Anzahl "
                             "der Einträge in der File-Tabelle überein!"}));
    EXPECT_EQ(StoredFileNames(layout.files[0]), storedBefore);
    EXPECT_EQ(ConnectionsToServer(), 0);
}

const std::string kKeptNote =
    "Hinweis: Die Links in den File-Headern sind angepasst, und der Server hat die Datenbank an "
    "ihrem neuen Ort ge\xC3\xB6"
    "ffnet. RDB$FILES beh\xC3\xA4lt die alten Dateinamen, weil dieser Server keine \xC3\x84nderung "
    "von RDB$FILES erlaubt.";

TEST_F(DataModuleRealServer, TheServersRefusalOfTheUpdateIsLoggedWithItsNoteAndRolledBack) {
    // Without a grant the server refuses the update as it is prepared; with
    // one, Firebird 3 still keeps the system table read-only.
    const std::pair<bool, const char*> cases[] = {
        {false, "no permission for UPDATE access to TABLE RDB$FILES"},
        {true, "UPDATE operation is not allowed for system table RDB$FILES"},
    };
    for (const auto& [grantUpdate, refusal] : cases) {
        log.Lines.clear();
        CreateThreeFileDatabase(grantUpdate, grantUpdate ? "granted" : "plain");
        // The stored names are of another directory, so that a change shows.
        newDir = dir.withSeparator() + "moved/";
        // After the server's text, the note that says what the refusal means;
        // ChangeFileTable says so to the front ends as well.
        EXPECT_EQ(ChangeFileTable(files), filetable::FileTableOutcome::kKeptByServer);
        EXPECT_EQ(log.Lines, (std::vector<std::string>{"", kHeading, refusal, kKeptNote}));
        EXPECT_EQ(StoredFileNames(layout.files[0]), storedBefore);
        EXPECT_EQ(CountRows(layout.files[0]), 10);
        EXPECT_EQ(ConnectionsToServer(), 0);
    }
}

TEST_F(DataModuleRealServer, ARefusedAttachmentIsRaisedWithTheServersText) {
    const std::string missing = dir.withSeparator() + "Tessaldrin.TDB";
    try {
        ChangeFileTable({missing, missing + "_1"});
        FAIL() << "the refused attachment was not raised";
    } catch (const ClientError& error) {
        const std::string text = error.what();
        EXPECT_EQ(text.rfind("I/O error during \"open\" operation for file \"" + missing + "\"", 0),
                  0u)
            << text;
        EXPECT_NE(text.find("\r\n"), std::string::npos) << text;
    }
    EXPECT_EQ(log.Lines, (std::vector<std::string>{"", kHeading}));
    EXPECT_EQ(ConnectionsToServer(), 0);
}
