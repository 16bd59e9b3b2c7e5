// The whole repair through the console front end, on the real servers and real
// files: a database created by the server, moved, repaired, then opened by the
// server from its new place. The tests of RunOnServer meet every local server.
#include "tests/header/expected_lines.h"
#include "tests/header/synthetic_page.h"
#include "tests/support/firebird_fixture.h"
#include "tests/support/stalling_proxy.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;
using namespace tessaldrin::testing;

namespace {

struct CliResult {
    int exitCode = -1;
    std::string out; // standard output and standard error, in order
};

// `prefix`: a command that runs the program (as another user, in a time limit).
CliResult RunCli(const fs::path& program, const std::string& args, const std::string& prefix = "") {
    const CommandResult run =
        RunCommand(prefix + program.string() + " " + args + " </dev/null 2>&1");
    return {run.status, run.output};
}

// Checks that `pieces` stand in `text` in this order; says which did not.
::testing::AssertionResult InOrder(const std::string& text,
                                   const std::vector<std::string>& pieces) {
    std::size_t at = 0;
    for (const auto& piece : pieces) {
        const auto found = text.find(piece, at);
        if (found == std::string::npos) {
            return ::testing::AssertionFailure() << "missing (in order): \"" << piece << "\" in\n"
                                                 << text;
        }
        at = found + piece.size();
    }
    return ::testing::AssertionSuccess();
}

std::map<fs::path, std::string> Snapshot(const fs::path& dir) {
    std::map<fs::path, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        files[entry.path()] = ReadBytes(entry.path());
    }
    return files;
}

// `path` as one word for the shell, whatever quotes it holds.
std::string Quoted(const fs::path& path) {
    std::string quoted = "'";
    for (char c : path.string()) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

const fs::path kCli = TM_CLI_PATH;
const std::string kKeptNote =
    "Hinweis: Die Links in den File-Headern sind angepasst, und der Server hat die Datenbank an "
    "ihrem neuen Ort ge\xC3\xB6"
    "ffnet. RDB$FILES beh\xC3\xA4lt die alten Dateinamen, weil dieser Server keine \xC3\x84nderung "
    "von RDB$FILES erlaubt.\n";
// The last line of a run whose chain the server opened from its new place,
// while it keeps RDB$FILES as it was.
const std::string kAdjustedTableKept =
    "\nTessaldrin Mover hat Tessaldrin angepasst: Die Datenbank \xC3\xB6"
    "ffnet an ihrem neuen Ort. RDB$FILES beh\xC3\xA4lt die alten Dateinamen, weil der Server sie "
    "nicht \xC3\xA4ndern l\xC3\xA4sst.\n";
constexpr int kRows = 1500;

using LinkList = std::vector<std::pair<std::string, std::string>>;

// The (stored, new) names of the lines '<prefix>"stored" zu "new"'.
LinkList LinkPairs(const std::string& out, const std::string& prefix) {
    const std::regex line(prefix + "\"([^\"\n]*)\" zu \"([^\"\n]*)\"");
    LinkList pairs;
    for (std::sregex_iterator it(out.begin(), out.end(), line), end; it != end; ++it) {
        pairs.emplace_back((*it)[1], (*it)[2]);
    }
    return pairs;
}

const std::string kWouldChange = "Link w\xC3\xBCrde ge\xC3\xA4ndert von ";
const std::string kChanged = "Link ge\xC3\xA4ndert von ";
const std::string kNothingChanged = "\nVorschau beendet: Es wurde nichts ge\xC3\xA4ndert.\n";

// A three-file database created by `server` in <dir>/alt and moved to
// <dir>/<newName>, or, given `linkLength`, to a directory named so that the
// new links are that long.
struct MovedDatabase {
    ServerDir dir;
    fs::path neu;
    std::vector<fs::path> old;
    std::vector<std::string> pagesBefore; // each file's header page as the server left it

    explicit MovedDatabase(const Server& server = Firebird3(), const std::string& newName = "neu",
                           int pageSize = 4096, std::size_t linkLength = 0)
        : dir("tm-run", server) {
        const fs::path alt = dir.makeSubdir("alt");
        const std::size_t around = dir.withSeparator().size() + std::strlen("/Tessaldrin_1.TDB");
        neu = dir.makeSubdir(linkLength == 0 ? newName : std::string(linkLength - around, 'x'));
        old = {alt / "Tessaldrin.GDB", alt / "Tessaldrin_1.GDB", alt / "Tessaldrin_2.GDB"};
        DatabaseLayout layout;
        layout.files = old;
        layout.owner = Owner::ProgramUser;
        layout.pageSize = pageSize;
        layout.rows = kRows;
        CreateDatabase(layout);
        for (const auto& file : old) {
            pagesBefore.push_back(ReadBytes(file).substr(0, layout.pageSize));
        }
        MoveFiles(old, neu);
    }
    std::string at(const std::string& name) const { return (neu / name).string(); }
};

// The tests that every local server runs: the program on the port of the
// server of the test's parameter.
class RunOnServer : public ::testing::TestWithParam<const Server*> {
protected:
    const Server& server() const { return *GetParam(); }
    // `cli` runs with the server's own client library.
    CliResult Run(const std::string& args, const std::string& cli = kCli.string()) const {
        return RunCli(WithClientLibrary(server()) + cli,
                      "--port " + std::to_string(server().port) + " " + args);
    }
};

INSTANTIATE_TEST_SUITE_P(Servers, RunOnServer, ::testing::ValuesIn(AllServers()),
                         [](const auto& info) { return std::string(info.param->name); });

// A header page up to the length byte of its continuation link `link`, with
// hdr_end and, in the primary file, the fields that the server changes when it
// attaches (page generation, transaction counters, attachment id, oldest
// snapshot, which ODS 11 keeps 4 bytes further on) cleared: what a repair
// keeps as the server wrote it.
std::string KeptPart(std::string page, const std::string& link, bool primary) {
    std::vector<std::pair<std::size_t, std::size_t>> fields{{66, 2}};
    if (primary) {
        const bool ods11 = page[18] == '\x0B' && page[19] == '\x80';
        fields.insert(fields.end(), {{4, 4}, {28, 12}, {52, 4}, {ods11 ? 76u : 72u, 4}});
    }
    for (const auto& [offset, width] : fields) {
        page.replace(offset, width, width, '\0');
    }
    return link.empty() ? page : page.substr(0, page.find(link) - 1);
}

// The database of `primary` opens on its server with all `rows`, the server
// names none of its pages invalid, and RDB$FILES names `stored`.
void ExpectWholeDatabase(const fs::path& primary, long rows,
                         const std::vector<std::string>& stored) {
    std::string why;
    EXPECT_EQ(CountRows(primary, &why), rows) << why;
    EXPECT_EQ(StoredFileNames(primary), stored);
    // gfix exits with 0 also when it finds faults: its output tells.
    const CommandResult validation = Validate(primary);
    EXPECT_EQ(validation.status, 0) << validation.output;
    EXPECT_EQ(validation.output, "");
}

const std::string kAdjusted =
    "\nTessaldrin Mover hat die Anpassung von Tessaldrin erfolgreich durchgef\xC3\xBChrt!\n";

// How a run that repaired the chain ends on `server`, for the rows `rows`
// (stored name, new name): where the server lets the program change
// RDB$FILES, each row rewritten, `adjusted`, exit code 0 and the new names
// stored; else the server's refusal, the note, `kept`, exit code 4 and the
// names kept.
struct RunEnd {
    std::vector<std::string> lines; // from the file table's heading on
    int exitCode;
    std::vector<std::string> stored;
};
RunEnd EndOn(const Server& server, const LinkList& rows, const std::string& adjusted = kAdjusted,
             const std::string& kept = kAdjustedTableKept) {
    const bool changes = server.changesFileTable;
    RunEnd end{{"\n\xC3\x84ndere File-Tabelle:\n"}, changes ? 0 : 4, {}};
    for (const auto& [stored, target] : rows) {
        end.stored.push_back(changes ? target : stored);
        if (changes) {
            end.lines.push_back("RDB$Files: RDB$FILE_NAME ge\xC3\xA4ndert von \"" + stored +
                                "\" zu \"" + target + "\"\n");
        }
    }
    if (changes) {
        end.lines.push_back(adjusted);
    } else {
        end.lines.insert(
            end.lines.end(),
            {"UPDATE operation is not allowed for system table RDB$FILES\n", kKeptNote, kept});
    }
    return end;
}

// How a run from the primary file `primary` ends on `server`, as EndOn says.
RunEnd ChainEndOn(const Server& server, const LinkList& rows, const std::string& primary) {
    const std::string named = "\nTessaldrin Mover hat die Datenbank \"" + primary + "\" ";
    return EndOn(server, rows, named + "erfolgreich angepasst!\n",
                 named + "angepasst: Sie \xC3\xB6"
                         "ffnet an ihrem neuen Ort. RDB$FILES beh\xC3\xA4lt die alten "
                         "Dateinamen, weil der Server sie nicht \xC3\xA4ndern l\xC3\xA4sst.\n");
}

// Each file `now[i]` has its header page `before[i]` as the server wrote it at
// `old[i]`, but for the link, which names `now[i + 1]` instead of `old[i + 1]`.
void ExpectPagesKeptButTheLinks(const std::vector<std::string>& before,
                                const std::vector<fs::path>& old,
                                const std::vector<fs::path>& now) {
    for (std::size_t i = 0; i < old.size(); ++i) {
        const auto after = ReadBytes(now[i]).substr(0, before[i].size());
        const bool last = i + 1 == old.size();
        EXPECT_TRUE(KeptPart(before[i], last ? "" : old[i + 1].string(), i == 0) ==
                    KeptPart(after, last ? "" : now[i + 1].string(), i == 0))
            << now[i];
    }
}

} // namespace

// In every page size that the server makes, and in the smallest also with new
// links as long as the program writes any.
TEST_P(RunOnServer, MovedThreeFileDatabaseOpensFromItsNewPlaceAfterTheRun) {
    std::vector<std::pair<int, std::size_t>> layouts{{server().pageSizes.front(), 253}};
    for (const int size : server().pageSizes) {
        layouts.emplace_back(size, 0);
    }
    for (const auto& [pageSize, linkLength] : layouts) {
        SCOPED_TRACE(std::to_string(pageSize) + " " + std::to_string(linkLength));
        MovedDatabase db(server(), "neu", pageSize, linkLength);
        ASSERT_EQ(CountRows(db.neu / "Tessaldrin.GDB"), -1)
            << "the moved database must not open yet";

        const CliResult first = Run("--confirm JA --dir " + Quoted(db.neu));
        EXPECT_TRUE(
            InOrder(first.out, {
                                   "Datenbankmanagementsystem (Interbase / Firebird) vorhanden\n",
                                   "\nTessaldrin-Files im aktuellen Verzeichnis:\n",
                                   db.at("Tessaldrin.GDB") + "\n",
                                   db.at("Tessaldrin_1.GDB") + "\n",
                                   db.at("Tessaldrin_2.GDB") + "\n",
                                   "\nDateien umbenennen:\n",
                                   "Datei \"" + db.at("Tessaldrin.GDB") + "\" umbenannt zu \"" +
                                       db.at("Tessaldrin.TDB") + "\"",
                                   "Datei \"" + db.at("Tessaldrin_2.GDB") + "\" umbenannt zu \"" +
                                       db.at("Tessaldrin_2.TDB") + "\"",
                                   "\n\xC3\x84ndere Links in den File-Headern ...\n",
                                   "Bearbeite Datei: " + db.at("Tessaldrin.TDB") + "\n",
                                   "Link ge\xC3\xA4ndert von \"" + db.old[1].string() + "\" zu \"" +
                                       db.at("Tessaldrin_1.TDB") + "\"",
                                   "Bearbeite Datei: " + db.at("Tessaldrin_1.TDB") + "\n",
                                   "Link ge\xC3\xA4ndert von \"" + db.old[2].string() + "\" zu \"" +
                                       db.at("Tessaldrin_2.TDB") + "\"",
                                   "Bearbeite Datei: " + db.at("Tessaldrin_2.TDB") + "\n",
                                   "Dies ist die letzte Datei.",
                               }));
        // Firebird 2.5 lets the program rewrite RDB$FILES. Firebird 3 and 4 refuse
        // every change of it: the server says so, the note says what that means,
        // the table keeps its rows, and the run ends with the line that the
        // database is adjusted and its own exit code.
        const std::vector<std::string> links{db.at("Tessaldrin_1.TDB"), db.at("Tessaldrin_2.TDB")};
        const LinkList rows{{db.old[1].string(), links[0]}, {db.old[2].string(), links[1]}};
        const RunEnd end = EndOn(server(), rows);
        EXPECT_TRUE(InOrder(first.out, end.lines));
        EXPECT_EQ(first.exitCode, end.exitCode) << first.out;

        // The chain on disk is repaired: every row is read, including those stored
        // in the secondary files, and every page kept but for its link.
        ExpectWholeDatabase(db.neu / "Tessaldrin.TDB", kRows, end.stored);
        ExpectPagesKeptButTheLinks(db.pagesBefore, db.old,
                                   {db.at("Tessaldrin.TDB"), links[0], links[1]});
        // The server is the one of the parameter, and so is the form of its pages.
        const std::uint16_t ods = static_cast<std::uint8_t>(db.pagesBefore[0][18]) |
                                  static_cast<std::uint8_t>(db.pagesBefore[0][19]) << 8;
        EXPECT_EQ(ods, server().odsVersion);
        EXPECT_NE(ServerVersion(server()).find(server().version), std::string::npos);

        // A second run finds every file renamed and linked to its target already,
        // and says so instead of changing a link to itself.
        const CliResult second = Run("--confirm JA --dir " + Quoted(db.neu));
        EXPECT_EQ(second.out.find("Dateien umbenennen:"), std::string::npos) << second.out;
        EXPECT_EQ(second.out.find("Link ge\xC3\xA4ndert"), std::string::npos) << second.out;
        const RunEnd again =
            EndOn(server(), {{end.stored[0], links[0]}, {end.stored[1], links[1]}});
        std::vector<std::string> pieces{"Link ist bereits richtig: \"" + links[0],
                                        "Link ist bereits richtig: \"" + links[1]};
        pieces.insert(pieces.end(), again.lines.begin(), again.lines.end());
        EXPECT_TRUE(InOrder(second.out, pieces));
        EXPECT_EQ(second.exitCode, again.exitCode);
        EXPECT_EQ(CountRows(db.neu / "Tessaldrin.TDB"), kRows);
    }
}

TEST(RunEndToEnd, ProgramSearchesItsOwnDirectoryNotTheWorkingDirectory) {
    MovedDatabase db;
    fs::copy_file(kCli, db.neu / "tessaldrin-mover-cli");
    const CliResult run =
        RunCli("cd / && " + (db.neu / "tessaldrin-mover-cli").string(), "--confirm JA");
    EXPECT_TRUE(InOrder(run.out, {db.at("Tessaldrin.GDB"), kAdjustedTableKept})) << run.out;
    EXPECT_EQ(CountRows(db.neu / "Tessaldrin.TDB"), kRows);
}

TEST(RunEndToEnd, SingleFileDatabaseAlreadyNamedTdbSucceeds) {
    ServerDir dir{"tm-single"};
    DatabaseLayout layout;
    layout.files = {dir.path() / "Tessaldrin.TDB"};
    layout.owner = Owner::ProgramUser;
    layout.rows = 20;
    CreateDatabase(layout);

    const CliResult run = RunCli(kCli, "--confirm JA --dir " + Quoted(dir.path()));
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_EQ(run.out.find("Dateien umbenennen:"), std::string::npos);
    EXPECT_EQ(run.out.find("Link ge"), std::string::npos);
    EXPECT_EQ(run.out.find("RDB$Files:"), std::string::npos);
    EXPECT_TRUE(InOrder(run.out, {"Dies ist die letzte Datei.", "\xC3\x84ndere File-Tabelle:",
                                  "\nTessaldrin Mover hat die Anpassung von Tessaldrin erfolgreich "
                                  "durchgef\xC3\xBChrt!\n"}));
    EXPECT_EQ(CountRows(layout.files[0]), 20);
}

TEST(RunEndToEnd, SingleFileDatabaseOfAnotherOwnerIsRefusedTheTableUpdate) {
    ServerDir dir{"tm-single"};
    DatabaseLayout layout;
    layout.files = {dir.path() / "Tessaldrin.TDB"};
    layout.rows = 5;
    CreateDatabase(layout);
    const CliResult run = RunCli(kCli, "--confirm JA --dir " + Quoted(dir.path()));
    EXPECT_EQ(run.exitCode, 4);
    EXPECT_TRUE(InOrder(run.out, {"\xC3\x84ndere File-Tabelle:\n",
                                  "no permission for UPDATE access to TABLE RDB$FILES\n", kKeptNote,
                                  kAdjustedTableKept}))
        << run.out;
}

TEST(RunEndToEnd, NoServerOnThePortTouchesNoFile) {
    MovedDatabase db;
    const auto before = Snapshot(db.neu);
    // Port 1 needs root to listen on and nothing here does.
    const CliResult run = RunCli(kCli, "--confirm JA --port 1 --dir " + Quoted(db.neu));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out.rfind("Die Verbindung zum InterBase / FireBird-Server konnte nicht "
                            "hergestellt werden: ",
                            0),
              0u)
        << run.out;
    EXPECT_EQ(run.out.find("Tessaldrin-Files"), std::string::npos);
    EXPECT_TRUE(InOrder(run.out, {"\n\nTessaldrin Mover konnte Tessaldrin nicht anpassen!\n"}));
    EXPECT_EQ(Snapshot(db.neu), before);
}

// Each file that the run cannot hold (here Tessaldrin_1.GDB; one the server
// holds: the next test) is refused with the system's reason; nothing changes.
TEST(RunEndToEnd, EveryRefusedFileSaysWhyAndTheRunChangesNothing) {
    for (const std::string& reason :
         {lines::kNoPermission, lines::kLink, lines::kSecondName, lines::kNotRegular,
          lines::kHoldersUnknownNoRight, lines::kReadOnlyFileSystem}) {
        ServerDir dir{"tm-why"};
        const fs::path entry = dir.path() / "Tessaldrin_1.GDB";
        const fs::path other = dir.path() / "Anderes.dat";
        // Without links: no chain that the server could ever follow.
        WriteFile(dir.path() / "Tessaldrin.GDB", SyntheticPage().Text());
        WriteFile(other, SyntheticPage().Text());
        std::string prefix = "timeout -s KILL 60 ";
        if (reason == lines::kNoPermission) {
            // Root may write any file: the program runs as a user that is not.
            fs::rename(other, entry);
            fs::permissions(entry, fs::perms::owner_read | fs::perms::others_read);
            fs::permissions(dir.path(), static_cast<fs::perms>(0755));
            fs::permissions(dir.path() / "Tessaldrin.GDB", static_cast<fs::perms>(0666));
            prefix += geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
        } else if (reason == lines::kLink) {
            fs::create_symlink(other, entry);
        } else if (reason == lines::kSecondName) {
            fs::create_hard_link(other, entry);
        } else if (reason == lines::kNotRegular) {
            fs::create_directory(entry);
        } else if (reason == lines::kHoldersUnknownNoRight) {
            // A user who may write the file but neither owns it nor may ask
            // the kernel who has it open: root without CAP_LEASE.
            if (geteuid() != 0) {
                continue;
            }
            fs::rename(other, entry);
            ASSERT_EQ(chown(entry.c_str(), 65534, 65534), 0);
            prefix += "setpriv --bounding-set=-lease --inh-caps=-lease ";
        } else if (const std::string readOnly = "unshare --mount sh -c 'mount --bind \"$0\" "
                                                "\"$0\" && mount -o remount,bind,ro \"$0\" && "
                                                "exec \"$@\"' " +
                                                Quoted(dir.path()) + " ";
                   RunCommand(readOnly + "true").status == 0) {
            // A bind mount in the program's own mount namespace dies with it.
            fs::rename(other, entry);
            prefix += readOnly;
        } else {
            GTEST_SKIP() << "no mount namespace here: the read-only file system is untested";
        }
        const auto before = Snapshot(dir.path());
        const CliResult run = RunCli(kCli, "--confirm JA --dir " + Quoted(dir.path()), prefix);
        EXPECT_EQ(run.exitCode, 1) << reason;
        EXPECT_TRUE(InOrder(
            run.out, {lines::Error("Datei \"" + entry.string() + "\": " + lines::kCannotOpen) +
                          "\n" + lines::Reason(reason) + "\n",
                      "Tessaldrin Mover konnte Tessaldrin nicht anpassen!"}));
        EXPECT_EQ(run.out.find("Bearbeite Datei"), std::string::npos) << run.out;
        EXPECT_EQ(Snapshot(dir.path()), before) << reason;
    }
}

namespace {

// A plain process that keeps `file` open, with a POSIX record lock when
// `lock` is set, until the pointer goes: no server, and no flock.
std::shared_ptr<void> KeptOpen(const fs::path& file, int flags, bool lock) {
    const pid_t child = ::fork();
    if (child == 0) {
        struct flock range {};
        range.l_type = flags == O_RDONLY ? F_RDLCK : F_WRLCK;
        const int fd = ::open(file.c_str(), flags);
        if (fd >= 0 && (!lock || ::fcntl(fd, F_SETLK, &range) == 0)) {
            ::pause();
        }
        std::_Exit(1);
    }
    if (child < 0) {
        throw std::runtime_error("no process to keep " + file.string() + " open");
    }
    std::shared_ptr<void> kept(nullptr, [child](void*) {
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
    });
    if (!WaitUntil([&] {
            return IsOpenInAnotherProcess(file) && (!lock || IsLockedByAnotherProcess(file));
        })) {
        throw std::runtime_error("the process did not keep " + file.string() + " open");
    }
    return kept;
}

// A file of the run's directory that another process holds open, and that
// process, which holds it while it lives.
using Held = std::pair<fs::path, std::shared_ptr<void>>;
using Hold = std::function<Held(const std::vector<fs::path>& files, const ServerDir& dir)>;

Held Attached(const std::vector<fs::path>& files, const ServerDir&) {
    return {files[0], std::make_shared<HeldAttachment>(files)};
}

// A copy, as the warning asks the user to make: its links still name the
// original files, so the server that attaches the copy holds the copy's
// primary file and the original secondary files.
Held CopyAttached(const std::vector<fs::path>& originals, const ServerDir& dir) {
    const fs::path copy = dir.makeSubdir("kopie") / "Tessaldrin.GDB";
    for (const fs::path& file : originals) {
        CopyForServer(file, copy.parent_path() / file.filename());
    }
    return {copy, std::make_shared<HeldAttachment>(
                      std::vector<fs::path>{copy, originals[1], originals[2]})};
}

Hold KeptOpenBy(int flags, bool lock) {
    return [=](const std::vector<fs::path>& files, const ServerDir&) {
        return Held{files[1], KeptOpen(files[1], flags, lock)};
    };
}

} // namespace

// Whoever has a file of the database open, a server of any generation (with
// or without a lock on it) or any other program: the run refuses before any
// change, says which file and why, never reaches the file table, and every
// file stays as it was.
TEST(RunEndToEnd, ADatabaseThatAnotherProcessHoldsOpenIsRefusedBeforeAnyChange) {
    struct Case {
        std::string what;
        const Server* server; // of the database, and the run's port
        Hold hold;
    };
    std::vector<Case> cases;
    for (const Server* server : AllServers()) {
        cases.push_back({std::string("attached to ") + server->name, server, Attached});
    }
    cases.push_back({"a copy attached to Firebird25", &Firebird25(), CopyAttached});
    cases.push_back({"kept open for reading", &Firebird3(), KeptOpenBy(O_RDONLY, false)});
    cases.push_back({"kept open for writing", &Firebird3(), KeptOpenBy(O_RDWR, false)});
    cases.push_back({"kept open with a POSIX lock", &Firebird3(), KeptOpenBy(O_RDWR, true)});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ServerDir dir{"tm-held", *c.server};
        DatabaseLayout layout;
        layout.files = {dir.path() / "Tessaldrin.GDB", dir.path() / "Tessaldrin_1.GDB",
                        dir.path() / "Tessaldrin_2.GDB"};
        layout.rows = 100;
        CreateDatabase(layout);
        const auto [file, holder] = c.hold(layout.files, dir);
        const auto before = Snapshot(file.parent_path());
        const CliResult run = RunCli(WithClientLibrary(*c.server) + kCli.string(),
                                     "--confirm JA --port " + std::to_string(c.server->port) +
                                         " --dir " + Quoted(file.parent_path()));
        EXPECT_EQ(run.exitCode, 1) << run.out;
        EXPECT_TRUE(InOrder(
            run.out, {lines::Error("Datei \"" + file.string() + "\": " + lines::kCannotOpen) +
                          "\n" + lines::Reason(lines::kHeldElsewhere) + "\n",
                      "Tessaldrin Mover konnte Tessaldrin nicht anpassen!"}));
        EXPECT_EQ(run.out.find("Bearbeite Datei"), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("\xC3\x84ndere File-Tabelle:"), std::string::npos) << run.out;
        EXPECT_EQ(Snapshot(file.parent_path()), before);
    }
}

// Here only the exact spelling of a name finds a file. A database whose
// files came with ".tdb" or ".Tdb", or whose names on disk differ in case
// from the names in its links (copied from a volume that ignores case), is
// renamed to ".TDB" and linked to the names as they are on disk.
TEST(RunEndToEnd, NamesThatDifferOnlyInCaseAreRenamedAndLinkedAsSpelledOnDisk) {
    for (const auto& onDisk :
         {std::vector<std::string>{"Tessaldrin.tdb", "Tessaldrin_1.Tdb", "Tessaldrin_2.tdb"},
          std::vector<std::string>{"Tessaldrin.GDB", "TESSALDRIN_1.GDB", "tessaldrin_2.gdb"}}) {
        MovedDatabase db;
        std::set<std::string> renamed;
        for (std::size_t i = 0; i < onDisk.size(); ++i) {
            fs::rename(db.neu / db.old[i].filename(), db.neu / onDisk[i]);
            renamed.insert(fs::path(onDisk[i]).stem().string() + ".TDB");
        }

        const CliResult run = RunCli(kCli, "--confirm JA --dir " + Quoted(db.neu));
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(db.neu)) {
            names.insert(entry.path().filename().string());
        }
        EXPECT_EQ(names, renamed) << run.out;
        const auto target = [&](std::size_t i) {
            return db.at(fs::path(onDisk[i]).stem().string() + ".TDB");
        };
        for (std::size_t i = 1; i < onDisk.size(); ++i) {
            EXPECT_TRUE(InOrder(run.out, {"Link ge\xC3\xA4ndert von \"" + db.old[i].string() +
                                          "\" zu \"" + target(i) + "\""}));
        }
        std::string why;
        EXPECT_EQ(CountRows(target(0), &why), kRows) << why << run.out;
    }
}

// A relative --dir names the same directory absolutely, without "." or ".."
// parts: links such as "./Tessaldrin_1.TDB" would open from nowhere.
TEST(RunEndToEnd, RelativeDirectoryIsMadeAbsoluteInEveryLink) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"neu", "."}, {"", "neu"}, {"neu", "../alt/../neu/./"}};
    for (const auto& [workingDir, dirArgument] : cases) {
        MovedDatabase db;
        const fs::path cwd = workingDir.empty() ? db.dir.path() : db.dir.path() / workingDir;
        const CliResult run = RunCli("cd " + Quoted(cwd) + " && " + kCli.string(),
                                     "--confirm JA --dir " + Quoted(dirArgument));
        EXPECT_EQ(run.exitCode, 4) << dirArgument << "\n" << run.out;
        EXPECT_TRUE(InOrder(run.out, {"\n" + db.at("Tessaldrin.GDB") + "\n",
                                      "\" zu \"" + db.at("Tessaldrin_1.TDB") + "\"",
                                      "\" zu \"" + db.at("Tessaldrin_2.TDB") + "\""}))
            << dirArgument;
        std::string why;
        EXPECT_EQ(CountRows(db.neu / "Tessaldrin.TDB", &why), kRows) << dirArgument << why;
    }
}

// A directory named with umlauts, sharp s, spaces and quotes, under a UTF-8
// locale and with no locale variables at all (as from cron or a service):
// the server gets the path bytes as they are on disk and opens the database.
TEST(RunEndToEnd, DirectoryNamedInAnyScriptRepairsUnderAnyLocale) {
    const std::string name = "B\xC3\xBCro Da\xC3\x9F"
                             "en '\xC3\x9C"
                             "bertrag'";
    for (const std::string environment : {"env -i", "env -i LANG=C.UTF-8 LC_ALL=C.UTF-8"}) {
        MovedDatabase db(Firebird3(), name);
        const CliResult run =
            RunCli(environment + " " + kCli.string(), "--confirm JA --dir " + Quoted(db.neu));
        EXPECT_EQ(run.exitCode, 4) << environment << "\n" << run.out;
        EXPECT_TRUE(InOrder(run.out, {"\" zu \"" + db.at("Tessaldrin_1.TDB") + "\"",
                                      "\" zu \"" + db.at("Tessaldrin_2.TDB") + "\"", kKeptNote}))
            << environment;
        std::string why;
        EXPECT_EQ(CountRows(db.neu / "Tessaldrin.TDB", &why), kRows) << environment << why;
    }
}

TEST_P(RunOnServer, PreviewOfAMovedDatabaseListsRenamesAndTargetsAndChangesNothing) {
    MovedDatabase db(server());
    const auto before = Snapshot(db.neu);

    // No --confirm, and standard input is empty: a preview asks for nothing.
    const CliResult preview = Run("--dry-run --dir " + Quoted(db.neu));
    EXPECT_EQ(preview.exitCode, 0) << preview.out;
    EXPECT_TRUE(InOrder(preview.out,
                        {"\nDateien umbenennen:\n",
                         "Datei \"" + db.at("Tessaldrin.GDB") + "\" w\xC3\xBCrde umbenannt zu \"" +
                             db.at("Tessaldrin.TDB") + "\"\n",
                         "\nVorschau der Links in den File-Headern (es wird nichts geschrieben)",
                         "Bearbeite Datei: " + db.at("Tessaldrin_2.GDB") + "\n",
                         "Dies ist die letzte Datei.", kNothingChanged}));
    EXPECT_EQ(LinkPairs(preview.out, kWouldChange),
              (LinkList{{db.old[1].string(), db.at("Tessaldrin_1.TDB")},
                        {db.old[2].string(), db.at("Tessaldrin_2.TDB")}}));
    EXPECT_EQ(preview.out.find("Bitte JA"), std::string::npos);
    EXPECT_EQ(preview.out.find("\xC3\x84ndere"), std::string::npos) << preview.out;
    EXPECT_EQ(Snapshot(db.neu), before);
    EXPECT_EQ(CountRows(db.neu / "Tessaldrin.GDB"), -1);

    // The run writes exactly the links that the preview showed.
    const CliResult run = Run("--confirm JA --dir " + Quoted(db.neu));
    EXPECT_EQ(LinkPairs(run.out, kChanged), LinkPairs(preview.out, kWouldChange)) << run.out;
    EXPECT_EQ(CountRows(db.neu / "Tessaldrin.TDB"), kRows);
}

TEST_P(RunOnServer, PrimaryRepairsAMovedDatabaseOfAnyNameAndKeepsEveryName) {
    ServerDir dir{"tm-primary", server()};
    const fs::path neu = dir.makeSubdir("neu");
    DatabaseLayout layout;
    const fs::path alt = dir.makeSubdir("alt");
    layout.files = {alt / "Kunden.fdb", alt / "Kunden.f01", alt / "Kunden.F02"};
    layout.owner = Owner::ProgramUser;
    layout.rows = kRows;
    CreateDatabase(layout);
    MoveFiles(layout.files, neu);
    // As after a copy from a volume that ignores case: the link stores
    // Kunden.F02, the file is now KUNDEN.F02.
    fs::rename(neu / "Kunden.F02", neu / "KUNDEN.F02");
    const auto before = Snapshot(neu);
    ASSERT_EQ(CountRows(neu / "Kunden.fdb"), -1) << "the moved database must not open yet";

    // Relative, with a detour: every link must still be absolute and normal.
    const std::string cli = "cd " + Quoted(dir.path()) + " && " + kCli.string();
    const std::string primary = " --primary neu/../neu/Kunden.fdb";
    const std::string at = (neu / "").string();
    const LinkList targets = {{layout.files[1].string(), at + "Kunden.f01"},
                              {layout.files[2].string(), at + "KUNDEN.F02"}};
    const CliResult preview = Run("--dry-run" + primary, cli);
    EXPECT_EQ(preview.exitCode, 0) << preview.out;
    EXPECT_TRUE(InOrder(preview.out, {"\nDateien der Datenbank mit der Prim\xC3\xA4rdatei \"" + at +
                                          "Kunden.fdb\":\n" + at + "Kunden.fdb\n" + at +
                                          "Kunden.f01\n" + at + "KUNDEN.F02\n",
                                      "Dies ist die letzte Datei.", kNothingChanged}));
    EXPECT_EQ(LinkPairs(preview.out, kWouldChange), targets);
    EXPECT_EQ(Snapshot(neu), before);

    const CliResult run = Run("--confirm JA" + primary, cli);
    EXPECT_EQ(LinkPairs(run.out, kChanged), targets) << run.out;
    // Firebird 2.5 rewrites RDB$FILES. Firebird 3 and 4 refuse the change; the
    // chain on disk is what lets the server open the database from its new place.
    const RunEnd end = ChainEndOn(server(), targets, at + "Kunden.fdb");
    EXPECT_TRUE(InOrder(run.out, end.lines));
    EXPECT_EQ(run.exitCode, end.exitCode) << run.out;
    const auto after = Snapshot(neu);
    EXPECT_TRUE(std::equal(after.begin(), after.end(), before.begin(), before.end(),
                           [](const auto& a, const auto& b) { return a.first == b.first; }));
    ExpectWholeDatabase(neu / "Kunden.fdb", kRows, end.stored);
}

namespace {

// A three-file database created by `server` in <dir>/alt and spread by the
// move over three disks, neu/, d2/ and d3/: there as after a copy from a
// volume that ignores case.
struct SpreadDatabase {
    ServerDir dir;
    std::vector<fs::path> dirs, old, now;
    std::vector<std::string> pagesBefore;

    explicit SpreadDatabase(const Server& server) : dir("tm-search", server) {
        const fs::path alt = dir.makeSubdir("alt");
        dirs = {dir.makeSubdir("neu"), dir.makeSubdir("d2"), dir.makeSubdir("d3")};
        old = {alt / "Kunden.fdb", alt / "Kunden.f01", alt / "Kunden.f02"};
        now = {dirs[0] / "Kunden.fdb", dirs[1] / "Kunden.f01", dirs[2] / "KUNDEN.F02"};
        CreateDatabase({.files = old, .owner = Owner::ProgramUser, .rows = kRows});
        for (std::size_t i = 0; i < old.size(); ++i) {
            pagesBefore.push_back(ReadBytes(old[i]).substr(0, 4096));
            fs::rename(old[i], now[i]);
        }
    }
    std::string args(const std::vector<fs::path>& search) const {
        std::string args = " --primary " + Quoted(now[0]);
        for (const fs::path& d : search) {
            args += " --search " + Quoted(d);
        }
        return args;
    }
    std::map<fs::path, std::string> snapshot() const {
        std::map<fs::path, std::string> files;
        for (const fs::path& d : dirs) {
            files.merge(Snapshot(d));
        }
        return files;
    }
};

} // namespace

// Each file is found where it lies, whatever the order of the directories
// searched; each link and row names it there, and the preview shows each place.
TEST_P(RunOnServer, SearchFindsEachFileOfTheChainWhereItLiesAndLinksItThere) {
    SpreadDatabase db(server());
    const auto before = db.snapshot();
    const LinkList targets = {{db.old[1].string(), db.now[1].string()},
                              {db.old[2].string(), db.now[2].string()}};
    const CliResult preview = Run("--dry-run" + db.args({db.dirs[2], db.dirs[1]}));
    EXPECT_EQ(preview.exitCode, 0) << preview.out;
    EXPECT_TRUE(InOrder(preview.out, {"\n" + db.now[0].string() + "\n" + db.now[1].string() + "\n" +
                                          db.now[2].string() + "\n",
                                      kNothingChanged}));
    EXPECT_EQ(LinkPairs(preview.out, kWouldChange), targets);
    EXPECT_EQ(db.snapshot(), before);

    const CliResult run = Run("--confirm JA" + db.args({db.dirs[2], db.dirs[1]}));
    EXPECT_EQ(LinkPairs(run.out, kChanged), targets) << run.out;
    const RunEnd end = ChainEndOn(server(), targets, db.now[0].string());
    EXPECT_TRUE(InOrder(run.out, end.lines));
    EXPECT_EQ(run.exitCode, end.exitCode) << run.out;
    ExpectWholeDatabase(db.now[0], kRows, end.stored);
    ExpectPagesKeptButTheLinks(db.pagesBefore, db.old, db.now);
}

// A chain that --search cannot tell for sure is refused, and nothing changed:
// a name that two places hold, a file that no directory searched holds, a
// --search that names no directory.
TEST(RunEndToEnd, SearchRefusesANameInTwoPlacesAFileFoundNowhereAndNoDirectory) {
    const SpreadDatabase db(Firebird3());
    const auto twice = [&](const fs::path& file, const fs::path& other) {
        return "FEHLER: Datei \"" + file.string() +
               "\": Eine Datei dieses Namens liegt auch in \"" + other.string() +
               "\"; welche der beiden zur Datenbank geh\xC3\xB6rt, ist nicht zu "
               "entscheiden.\n";
    };
    const fs::path d2 = db.dirs[1], d3 = db.dirs[2], none = d3 / "nein";
    const fs::path beside = db.dirs[0] / "kunden.F01"; // found first, in another case
    const std::vector<std::tuple<std::string, fs::path, int, std::vector<std::string>>> cases = {
        {db.args({d2, d3}), d3 / "Kunden.f01", 1, {twice(db.now[1], d3 / "Kunden.f01")}},
        {db.args({d2, d3}), beside, 1, {twice(beside, db.now[1])}},
        {db.args({d2}),
         {},
         1,
         {"FEHLER: Datei \"" + db.now[1].string() + "\": Die Datei \"" + db.old[2].string() +
              "\" der Kette ist nicht im Verzeichnis \"" + db.dirs[0].string() + "/\".\n",
          "Gesucht wurde auch im Verzeichnis \"" + d2.string() + "/\".\n"}},
        {db.args({d2, none}), {}, 2, {"--search ist kein Verzeichnis: " + none.string() + "\n"}},
        {db.args({db.now[2]}), {}, 2, {"--search ist kein Verzeichnis: " + db.now[2].string()}},
    };
    for (const auto& [args, copy, exitCode, lines] : cases) {
        SCOPED_TRACE(args);
        if (!copy.empty()) {
            fs::copy_file(db.now[1], copy);
        }
        const auto before = db.snapshot();
        const CliResult run = RunCli(kCli, "--port 3050 --confirm JA" + args);
        EXPECT_EQ(run.exitCode, exitCode) << run.out;
        EXPECT_TRUE(InOrder(run.out, lines));
        EXPECT_EQ(db.snapshot(), before);
        fs::remove(copy);
    }
}

namespace {

// The wait status of `child` once it ends, within `seconds`; nothing if not.
std::optional<int> Ended(pid_t child, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (::waitpid(child, &status, WNOHANG) == child) {
            return status;
        }
        pollfd none{};
        ::poll(&none, 0, 10); // a pause between two looks, not a wait for luck
    }
    return std::nullopt;
}

// Whether `pid` has a handler of its own for `signal` (SigCgt in /proc).
bool CatchesSignal(pid_t pid, int signal) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("SigCgt:", 0) == 0) {
            return ((std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1) != 0;
        }
    }
    return false;
}

// Starts the program with `args`, its standard output and error into a pipe
// of `pipeSize` bytes (the system's when 0) whose read end goes to `out`;
// with `libraryDir`, the client library is loaded from there.
pid_t StartCli(const std::vector<std::string>& args, int& out, const std::string& libraryDir = {},
               int pipeSize = 0) {
    int ends[2];
    if (::pipe(ends) != 0 || (pipeSize > 0 && ::fcntl(ends[0], F_SETPIPE_SZ, pipeSize) < 0)) {
        return -1;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(ends[1], STDOUT_FILENO);
        ::dup2(ends[1], STDERR_FILENO);
        ::close(ends[0]);
        ::close(ends[1]);
        if (!libraryDir.empty()) {
            ::setenv("LD_LIBRARY_PATH", libraryDir.c_str(), 1);
        }
        std::vector<char*> argv{const_cast<char*>(kCli.c_str())};
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(kCli.c_str(), argv.data());
        std::_Exit(127);
    }
    ::close(ends[1]);
    out = ends[0];
    return child;
}

std::string ReadToEnd(int from) {
    std::string output;
    char buffer[4096];
    for (ssize_t n; (n = ::read(from, buffer, sizeof buffer)) > 0;) {
        output.append(buffer, static_cast<std::size_t>(n));
    }
    return output;
}

} // namespace

// A server that stops answering anywhere in an exchange: at each stall point
// the run ends once its call has waited 15 s, its entry names the host and
// the port, and the file is as the steps before left it: untouched when the
// server check stalls, renamed when the file table's step does, and the
// database opens. A database of one file: the one kind whose rewrite
// Firebird 3 commits. The proxy stands in for a server that falls silent;
// the server behind it is the real one. The cases run side by side.
TEST(RunEndToEnd, AServerThatFallsSilentAnywhereEndsTheRunWithinTheBoundNamingThePort) {
    struct Case {
        const char* where;
        StallPoint stall;
        int exitCode;
        std::string more; // said besides the silence, the host and the port
    };
    const std::vector<Case> cases = {
        {"the server check, before any answer", {0, kNoLimit, 0}, 1, ""},
        {"the server check, after its first answer", {0, kNoLimit, 1}, 1, ""},
        {"the file table's attachment, after its first answer", {1, kNoLimit, 1}, 3, ""},
        {"after the attachment", {1, kHandshakeRequests + 1, kNoLimit}, 3, ""},
        {"before the commit",
         {1, kRequestsBeforeTheCommit, kNoLimit},
         1,
         "\r\nOb der Server die \xC3\x84nderung von RDB$FILES \xC3\xBC"
         "bernommen hat, ist nicht bekannt: die Antwort auf das Commit blieb aus."},
    };
    using Timed = std::pair<CliResult, std::chrono::steady_clock::duration>;
    std::vector<std::unique_ptr<ServerDir>> dirs;
    std::vector<std::unique_ptr<StallingProxy>> proxies;
    std::vector<std::future<Timed>> runs;
    for (const Case& c : cases) {
        dirs.push_back(std::make_unique<ServerDir>("tm-silent"));
        DatabaseLayout layout;
        layout.files = {dirs.back()->path() / "Tessaldrin.GDB"};
        layout.owner = Owner::ProgramUser;
        layout.rows = 7;
        CreateDatabase(layout);
        proxies.push_back(std::make_unique<StallingProxy>(Firebird3().port, c.stall));
        const std::string args = "--confirm JA --port " + std::to_string(proxies.back()->port()) +
                                 " --dir " + Quoted(dirs.back()->path());
        runs.push_back(std::async(std::launch::async, [args] {
            const auto start = std::chrono::steady_clock::now();
            CliResult result = RunCli(kCli, args, "timeout -s KILL 60 ");
            return Timed{result, std::chrono::steady_clock::now() - start};
        }));
    }
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].where);
        const auto [run, took] = runs[i].get();
        EXPECT_TRUE(proxies[i]->Stalled());
        EXPECT_GE(took, std::chrono::seconds(15));
        EXPECT_LT(took, std::chrono::seconds(25));
        EXPECT_EQ(run.exitCode, cases[i].exitCode) << run.out;
        EXPECT_NE(run.out.find("Der Server hat 15 Sekunden lang nicht geantwortet; das Programm "
                               "hat die Verbindung beendet." +
                               cases[i].more + "\r\nServer: localhost, Port " +
                               std::to_string(proxies[i]->port()) +
                               " (ohne Antwort wird nach 15 Sekunden aufgegeben)\n"),
                  std::string::npos)
            << run.out;
        EXPECT_EQ(run.out.find("Tessaldrin Mover hat"), std::string::npos) << run.out;
        const bool checking = cases[i].stall.connection == 0;
        const fs::path file = dirs[i]->path() / (checking ? "Tessaldrin.GDB" : "Tessaldrin.TDB");
        EXPECT_EQ(run.out.find("Bearbeite Datei") == std::string::npos, checking) << run.out;
        EXPECT_EQ(CountRows(file), 7);
    }
}

TEST(RunEndToEnd, TerminationSignalsEndTheRunWaitingOnAServerThatDoesNotAnswer) {
    for (const int signal : {SIGTERM, SIGINT}) {
        StallingProxy server(Firebird3().port, {0, kNoLimit, 0});
        ServerDir dir{"tm-signal"};
        int out = -1;
        const pid_t child = StartCli({"--confirm", "JA", "--port", std::to_string(server.port()),
                                      "--dir", dir.path().string()},
                                     out);
        ASSERT_GT(child, 0);
        ASSERT_TRUE(WaitUntil([&] { return server.Connections() > 0; }, 10)) << signal;
        ASSERT_EQ(::kill(child, signal), 0);
        const std::optional<int> status = Ended(child, 30);
        ::close(out);
        if (!status) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
        }
        ASSERT_TRUE(status) << "the program did not end on signal " << signal;
        EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == signal) << *status;
    }
}

// A reader that goes away after the first line (as "| head -1" does) stops
// no run half-way: the run goes on to its end, and the exit code adds 8 for
// the output it lost.
TEST(RunEndToEnd, AnOutputClosedEarlyNeverStopsTheRunPartWay) {
    MovedDatabase db;
    int out = -1;
    const pid_t child = StartCli({"--confirm", "JA", "--dir", db.neu.string()}, out);
    ASSERT_GT(child, 0);
    for (char c = 0; c != '\n' && ::read(out, &c, 1) == 1;) {
    }
    ::close(out);
    const std::optional<int> status = Ended(child, 60);
    ASSERT_TRUE(status);
    ASSERT_TRUE(WIFEXITED(*status)) << *status;
    EXPECT_EQ(WEXITSTATUS(*status), 4 + 8);
    std::string why;
    EXPECT_EQ(CountRows(db.neu / "Tessaldrin.TDB", &why), kRows) << why;
    EXPECT_EQ(StoredFileNames(db.neu / "Tessaldrin.TDB"),
              (std::vector<std::string>{db.old[1].string(), db.old[2].string()}));
}

// However early SIGINT or SIGTERM comes once the program has its handlers,
// the last line says what was done: that the signal ended the run before any
// header page, or, for a signal after the preview's few milliseconds, that
// the preview ended.
TEST(RunEndToEnd, ASignalInTheFirstMillisecondsEndsWithTheLineThatNoPageWasWritten) {
    const std::string nothing =
        "Der Lauf wurde durch ein Signal beendet, bevor eine Header-Seite geschrieben wurde.\n";
    const std::string previewEnded = "Vorschau beendet: Es wurde nichts ge\xC3\xA4ndert.\n";
    const auto endsWith = [](const std::string& text, const std::string& end) {
        return text.size() >= end.size() &&
               text.compare(text.size() - end.size(), end.size(), end) == 0;
    };
    for (const int signal : {SIGTERM, SIGINT}) {
        for (int delayMs = 0; delayMs < 10; ++delayMs) {
            SCOPED_TRACE(std::to_string(signal) + " after " + std::to_string(delayMs) + " ms");
            TempDir dir;
            WriteFile(dir.path() / "Tessaldrin.GDB", SyntheticPage().Text());
            int out = -1;
            const pid_t child = StartCli({"--dry-run", "--dir", dir.path().string()}, out);
            ASSERT_GT(child, 0);
            // Looked at without a pause: the whole preview takes a few milliseconds.
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (!CatchesSignal(child, signal) && std::chrono::steady_clock::now() < deadline) {
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
            ASSERT_EQ(::kill(child, signal), 0);
            const std::string output = ReadToEnd(out);
            ::close(out);
            const std::optional<int> status = Ended(child, 30);
            ASSERT_TRUE(status);
            EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == signal) << *status;
            EXPECT_TRUE(endsWith(output, nothing) || endsWith(output, previewEnded)) << output;
        }
    }
}

// SIGTERM while the run renames or writes, sent when it is stuck on its full
// output pipe (a smaller pipe fills within the renaming, a larger one within
// the relinking pass): the run ends by the signal once the rename or page in
// hand is done. Every file renamed on disk has its line in the log, and no
// other; every link that the log calls changed is on disk, and no other; the
// last line names the last page written by the name it has now. The stand-in
// client library takes the real one's name, so that no server ever attaches
// this chain of synthetic pages.
TEST(RunEndToEnd, ASignalWhileTheRunChangesFilesEndsItAndTheLogNamesEveryChange) {
    constexpr int kFiles = 300;
    std::vector<std::string> bases{"Tessaldrin"};
    for (int i = 1; i < kFiles; ++i) {
        char base[32];
        std::snprintf(base, sizeof base, "Tessaldrin_%03d", i);
        bases.emplace_back(base);
    }
    const auto page = [](int place, const std::string& link) {
        SyntheticPage synthetic;
        synthetic.Sequence(static_cast<std::uint16_t>(place));
        return (link.empty() ? synthetic : synthetic.Entry(3, link)).Text();
    };
    for (const bool renaming : {true, false}) {
        SCOPED_TRACE(renaming ? "while renaming" : "while relinking");
        TempDir dir;
        TempDir library;
        fs::create_symlink(STANDIN_FBCLIENT, library.path() / "libfbclient.so.2");
        const std::string at = dir.path().string() + "/";
        for (int i = 0; i < kFiles; ++i) {
            WriteFile(dir.path() / (bases[i] + ".GDB"),
                      page(i, i + 1 < kFiles ? "/alt/" + bases[i + 1] + ".GDB" : ""));
        }

        int out = -1;
        const pid_t child = StartCli({"--confirm", "JA", "--dir", at}, out, library.path().string(),
                                     renaming ? 16384 : 65536);
        ASSERT_GT(child, 0);
        // Unread, the pipe fills, and the run waits.
        ::sleep(2);
        ASSERT_EQ(::kill(child, SIGTERM), 0);
        const std::string output = ReadToEnd(out);
        ::close(out);
        const std::optional<int> status = Ended(child, 30);
        ASSERT_TRUE(status) << output;
        EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGTERM) << *status;

        std::string processing;
        std::string lastChanged;
        std::set<std::string> changed;
        std::set<std::string> renamedInLog;
        std::vector<std::string> lines;
        std::istringstream read(output);
        for (std::string line; std::getline(read, line);) {
            if (line.rfind("Bearbeite Datei: ", 0) == 0) {
                processing = line.substr(17);
            } else if (line.rfind(kChanged, 0) == 0) {
                changed.insert(processing);
                lastChanged = processing;
            } else if (line.rfind("Datei \"" + at, 0) == 0 &&
                       line.find("\" umbenannt zu \"") != std::string::npos) {
                renamedInLog.insert(line.substr(7 + at.size(), line.find('.') - 7 - at.size()));
            }
            if (!line.empty()) {
                lines.push_back(line);
            }
        }
        std::set<std::string> renamedOnDisk;
        for (const std::string& base : bases) {
            if (fs::exists(dir.path() / (base + ".TDB"))) {
                renamedOnDisk.insert(base);
            }
        }
        EXPECT_EQ(renamedOnDisk, renamedInLog);
        if (renaming) {
            EXPECT_GT(renamedOnDisk.size(), 0u);
            EXPECT_LT(renamedOnDisk.size(), std::size_t{kFiles}) << "not ended part-way";
            EXPECT_TRUE(changed.empty());
            EXPECT_EQ(lines.back(), "Der Lauf wurde durch ein Signal beendet, bevor eine "
                                    "Header-Seite geschrieben wurde.");
        } else {
            EXPECT_EQ(renamedOnDisk.size(), std::size_t{kFiles});
            ASSERT_FALSE(changed.empty()) << output;
            EXPECT_LT(changed.size(), std::size_t{kFiles - 1}) << "not ended part-way";
            EXPECT_EQ(lastChanged.substr(lastChanged.size() - 4), ".TDB");
            EXPECT_EQ(lines.back(), "Der Lauf wurde durch ein Signal beendet. Zuletzt geschriebene "
                                    "Header-Seite: " +
                                        lastChanged);
        }
        for (int i = 0; i + 1 < kFiles; ++i) {
            const std::string name = bases[i] + (renamedOnDisk.count(bases[i]) ? ".TDB" : ".GDB");
            const std::string link = changed.count(at + name) != 0
                                         ? at + bases[i + 1] + ".TDB"
                                         : "/alt/" + bases[i + 1] + ".GDB";
            EXPECT_EQ(ReadBytes(dir.path() / name), page(i, link)) << name;
        }
    }
}
