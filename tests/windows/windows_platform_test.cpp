// The Windows implementation of the platform layer at work in the program's
// steps, under the Windows calls themselves: discovery, renaming, the
// relinking pass on both header page forms, a database file that another
// process holds open, and the program's connections to a silent server.
#include "platform/windows/windows_api.h"

#include "header/planned_page.h"
#include "platform/durable_file.h"
#include "platform/format_message.h"
#include "platform/free_space.h"
#include "platform/locked_file.h"
#include "platform/loopback_connections.h"
#include "platform/module_file_name.h"
#include "run/describer.h"
#include "run/discovery.h"
#include "run/executor.h"
#include "run/plan.h"
#include "tests/header/expected_lines.h"
#include "tests/header/synthetic_page.h"
#include "tests/support/plan_steps.h"
#include "tests/windows/windows_test_support.h"

#include <gtest/gtest.h>
#include <winsock2.h>

#include <chrono>
#include <future>

using namespace tessaldrin;
using namespace tessaldrin::testing;
using namespace tessaldrin::testing::windows;
using platform::Format;
using Lines = std::vector<std::string>;

namespace {

struct AdjustmentInWinDir {
    WinTempDir dir;
    ListRunLog log;
    header::HeldDatabaseFiles held;

    void Touch(std::initializer_list<const char*> names) const {
        for (const char* name : names) {
            WriteAll(dir / name, name);
        }
    }
    DatabaseFiles Find() { return FindDatabaseFiles(dir / "tessaldrin-mover-cli.exe", log); }
    RunPlan Plan() {
        DatabaseFiles files = Find();
        held.Take(files.FileList);
        return PlanAdjustment(RunMode::kTessaldrin, std::move(files), held);
    }
};

Lines Listing(const Lines& paths) {
    Lines lines{"", Format(msg::kFilesHeading)};
    lines.insert(lines.end(), paths.begin(), paths.end());
    return lines;
}

} // namespace

TEST(WindowsDiscovery, ListsThePrimaryFirstThenSecondariesInTextOrderUnderWindowsPaths) {
    AdjustmentInWinDir at;
    at.Touch({"Tessaldrin_2.GDB", "Tessaldrin_10.GDB", "Tessaldrin.GDB", "Tessaldrin_b.GDB",
              "tessaldrin_A.gdb", "Tessaldrin.DB", "Tessaldrin.GDBX", "Tessaldrin_1.GDBX",
              "Other_1.GDB"});
    const DatabaseFiles found = at.Find();
    const Lines expected{at.dir / "Tessaldrin.GDB", at.dir / "Tessaldrin_10.GDB",
                         at.dir / "Tessaldrin_2.GDB", at.dir / "tessaldrin_A.gdb",
                         at.dir / "Tessaldrin_b.GDB"};
    EXPECT_EQ(found.FileList, expected);
    EXPECT_EQ(found.DatabaseDir, at.dir.withSeparator());
    EXPECT_EQ(found.DatabaseDir.back(), '\\');
    EXPECT_EQ(at.log.Lines, Listing(expected));

    AdjustmentInWinDir secondariesOnly;
    secondariesOnly.Touch({"Tessaldrin_1.GDB", "Tessaldrin.DB"});
    EXPECT_TRUE(secondariesOnly.Find().FileList.empty());
    EXPECT_EQ(secondariesOnly.log.Lines,
              (Lines{Format(msg::kNoDatabase),
                     Format(msg::kSearchedDirectory, secondariesOnly.dir.withSeparator())}));
}

TEST(WindowsDiscovery, SearchesTheRunningProgramsDirectoryAsGetModuleFileNameGivesIt) {
    const std::string program = platform::ModuleFileName();
    ASSERT_GT(program.size(), 3u);
    EXPECT_EQ(program.substr(1, 2), ":\\") << program;
    EXPECT_EQ(program.substr(program.size() - 4), ".exe");
    ListRunLog log;
    EXPECT_EQ(FindDatabaseFiles(program, log).DatabaseDir,
              program.substr(0, program.rfind('\\') + 1));
}

TEST(WindowsRenaming, GivesEveryFileTdbAndNeverReplacesAnExistingFile) {
    AdjustmentInWinDir at;
    const auto chainPage = [](std::uint16_t place, const std::string& next) {
        return SyntheticPage().Sequence(place).Entry(3, "E:\\Alt\\" + next).Text();
    };
    WriteAll(at.dir / "Tessaldrin.GDB", chainPage(0, "Tessaldrin_1.GDB"));
    WriteAll(at.dir / "Tessaldrin_1.GDB", chainPage(1, "Tessaldrin_2.GDB"));
    WriteAll(at.dir / "Tessaldrin_2.tdb", SyntheticPage().Sequence(2).Text());
    at.Touch({"Tessaldrin_1.TDB"});
    // Tessaldrin_1.TDB is there already: the plan refuses the rename that
    // would take its name, and nothing is renamed.
    const RunPlan refused = at.Plan();
    ASSERT_FALSE(refused.Holds());
    EXPECT_EQ(refused.files.Path(refused.refusals.front().file), at.dir / "Tessaldrin_1.GDB");
    EXPECT_EQ(tessaldrin::ReasonText(refused.refusals.front()),
              Format(msg::kNameTaken, at.dir / "Tessaldrin_1.TDB"));
    EXPECT_EQ(ReadAll(at.dir / "Tessaldrin_1.TDB"), "Tessaldrin_1.TDB");
    at.held.Release();

    DeleteFileA((at.dir / "Tessaldrin_1.TDB").c_str());
    const RunPlan plan = at.Plan();
    ASSERT_TRUE(plan.Holds()) << tessaldrin::ReasonText(plan.refusals.front());
    at.log.Lines.clear();
    EXPECT_TRUE(MakeStep<Rename>(plan, at.held, at.log));
    // The lower-case extension becomes upper case.
    EXPECT_EQ(
        at.log.Lines,
        (Lines{
            "", Format(msg::kRenamingHeading),
            Format(msg::kFileRenamed, at.dir / "Tessaldrin.GDB", at.dir / "Tessaldrin.TDB"),
            Format(msg::kFileRenamed, at.dir / "Tessaldrin_1.GDB", at.dir / "Tessaldrin_1.TDB"),
            Format(msg::kFileRenamed, at.dir / "Tessaldrin_2.tdb", at.dir / "Tessaldrin_2.TDB")}));
    // Wine on a file system that tells case apart keeps the old spelling on
    // disk where Windows gives the new one; either way the new name opens it.
    EXPECT_EQ(ReadAll(at.dir / "Tessaldrin_2.TDB"), SyntheticPage().Sequence(2).Text());
    EXPECT_EQ(ReadAll(at.dir / "Tessaldrin_1.TDB"), chainPage(1, "Tessaldrin_2.GDB"));
    EXPECT_EQ(ReadAll(at.dir / "Tessaldrin.TDB"), chainPage(0, "Tessaldrin_1.GDB"));

    // The run still holds its files, so the held rename is tried on others:
    // onto itself allowed, nothing moves; onto another file refused.
    at.Touch({"Eigen.TDB", "Andere.GDB"});
    header::HeldDatabaseFiles others;
    EXPECT_FALSE(
        others.Take({at.dir / "Eigen.TDB", at.dir / "Andere.GDB", at.dir / "missing.GDB"}));
    EXPECT_TRUE(others.Rename({0}, at.dir / "Eigen.TDB"));
    EXPECT_FALSE(others.Rename({1}, at.dir / "Eigen.TDB"));
    EXPECT_FALSE(others.Rename({2}, at.dir / "missing.TDB"));
    EXPECT_EQ(ReadAll(at.dir / "Eigen.TDB"), "Eigen.TDB");
    EXPECT_EQ(ReadAll(at.dir / "Andere.GDB"), "Andere.GDB");
}

namespace {

// A header page form: its ODS version word, where its entries start, and the
// type of its continuation entry. Both keep the checksum field as stored.
struct Form {
    std::uint16_t odsVersion;
    std::size_t dataStart;
    std::uint8_t linkType;
};

SyntheticPage LinkingPage(const Form& form, const std::string& link) {
    SyntheticPage page(2048, form.odsVersion, form.dataStart);
    return page.Entry(1, "root").Entry(form.linkType, link).Entry(8, "tail").MarkEnd();
}

} // namespace

TEST(WindowsRelinkingPass, RewritesTheClassicAndTheFirebird3FormByteExact) {
    for (const Form form : {Form{10, 96, 3}, Form{0x800C, 132, 2}}) {
        WinTempDir dir;
        const std::string old = "E:\\Alt\\Tessaldrin_1.GDB";
        WriteAll(dir / "Tessaldrin.TDB", LinkingPage(form, old).Text());
        SyntheticPage last(2048, form.odsVersion, form.dataStart);
        last.Sequence(1).Entry(4, "x").MarkEnd();
        WriteAll(dir / "Tessaldrin_1.TDB", last.Text());

        ListRunLog log;
        const Lines files{dir / "Tessaldrin.TDB", dir / "Tessaldrin_1.TDB"};
        header::HeldDatabaseFiles held;
        EXPECT_TRUE(held.Take(files));
        const RunPlan plan =
            PlanAdjustment(RunMode::kTessaldrin, {dir.withSeparator(), files}, held);
        ASSERT_TRUE(plan.Holds()) << tessaldrin::ReasonText(plan.refusals.front());
        EXPECT_TRUE(MakeStep<WriteHeaderPage>(plan, held, log));
        EXPECT_EQ(ReadAll(files[0]), LinkingPage(form, dir / "Tessaldrin_1.TDB").Text())
            << form.odsVersion;
        EXPECT_EQ(ReadAll(files[1]), last.Text());
        EXPECT_EQ(log.Lines,
                  (Lines{"", Format(msg::kRelinkingHeading), Format(msg::kProcessingFile, files[0]),
                         lines::Continuation(old), lines::Changed(old, dir / "Tessaldrin_1.TDB"),
                         "", Format(msg::kProcessingFile, files[1]), lines::kLastFile, ""}));
    }
}

// Held for writing, as by the server, or only for reading, as by a plain
// program: the share mode keeps the run out either way.
TEST(WindowsRelinkingPass, RefusesAFileThatAnotherProcessHoldsOpenAndLeavesItAsItWas) {
    WinTempDir dir;
    const Form classic{10, 96, 3};
    const std::string file = dir / "Tessaldrin.TDB";
    const std::string before = LinkingPage(classic, "E:\\Alt\\Tessaldrin_1.GDB").Text();
    WriteAll(file, before);
    for (const bool writes : {true, false}) {
        SCOPED_TRACE(writes ? "writes" : "reads");
        const HeldByAnotherProcess other(file, writes);
        EXPECT_FALSE(platform::LockedFile::Open(file));
        ListRunLog log;
        header::HeldDatabaseFiles held;
        EXPECT_FALSE(held.Take({file}));
        LogRefusals(PlanAdjustment(RunMode::kTessaldrin, {dir.withSeparator(), {file}}, held), log);
        EXPECT_EQ(log.Lines,
                  (Lines{lines::Error(Format(msg::kFileRefused, file, lines::kCannotOpen)),
                         lines::Reason(lines::kHeldElsewhere)}));
        // Nor is it renamed while held, not even onto its own name.
        EXPECT_FALSE(held.Rename({0}, dir / "Tessaldrin.GDB"));
        EXPECT_FALSE(held.Rename({0}, file));
        EXPECT_EQ(ReadAll(file), before);
    }
    // Let go, it opens.
    EXPECT_TRUE(platform::LockedFile::Open(file));
    EXPECT_EQ(dir.Names(), Lines{"Tessaldrin.TDB"});
}

TEST(WindowsLockedFile, OpensForUpdateOnlyAFileWithOneNameAndKeepsOtherWritersOut) {
    WinTempDir dir;
    const std::string file = dir / "Tessaldrin.TDB";
    WriteAll(file, "page");
    {
        auto open = platform::LockedFile::Open(file);
        ASSERT_TRUE(open);
        // While it is open, others may read it (sharing the rename that the
        // holder may make) but not write it.
        const HANDLE reader = CreateFileA(file.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(reader, INVALID_HANDLE_VALUE);
        CloseHandle(reader);
        const HANDLE writer =
            CreateFileA(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    }
    // A second name for the same file: neither name opens it for update.
    using Reason = platform::OpenFailure::Reason;
    platform::OpenFailure why;
    ASSERT_TRUE(CreateHardLinkA((dir / "Zweiter.TDB").c_str(), file.c_str(), nullptr));
    EXPECT_FALSE(platform::LockedFile::Open(file, &why));
    EXPECT_EQ(why.reason, Reason::kSecondName);
    EXPECT_FALSE(platform::LockedFile::Open(dir / "Zweiter.TDB"));
    EXPECT_EQ(ReadAll(file), "page");
    // Nor a link to it, where the system lets this process make one.
    if (CreateSymbolicLinkA((dir / "Verweis.TDB").c_str(), (dir / "Zweiter.TDB").c_str(),
                            SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE)) {
        DeleteFileA(file.c_str());
        EXPECT_FALSE(platform::LockedFile::Open(dir / "Verweis.TDB"));
        EXPECT_EQ(ReadAll(dir / "Zweiter.TDB"), "page");
    }
    // Nor does a directory, or what does not exist.
    EXPECT_FALSE(platform::LockedFile::Open(dir.withSeparator()));
    CreateDirectoryA((dir / "Ordner.TDB").c_str(), nullptr);
    EXPECT_FALSE(platform::LockedFile::Open(dir / "Ordner.TDB", &why));
    EXPECT_EQ(why.reason, Reason::kNotRegularFile);
    EXPECT_FALSE(platform::LockedFile::Open(dir / "missing.TDB", &why));
    EXPECT_EQ(why.reason, Reason::kMissing);
}

namespace {

// A listening socket on a free port of 127.0.0.1, and connections to it.
class WinsockListener {
public:
    WinsockListener() {
        WSADATA data{};
        started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
        socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof address;
        EXPECT_EQ(::bind(socket_, reinterpret_cast<sockaddr*>(&address), length), 0);
        EXPECT_EQ(::listen(socket_, 4), 0);
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~WinsockListener() {
        closesocket(socket_);
        if (started_) {
            WSACleanup();
        }
    }
    std::uint16_t port() const { return port_; }
    // A connection to this listener: the client's end and the accepted one.
    std::pair<SOCKET, SOCKET> Connect() const {
        const SOCKET client = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port_);
        EXPECT_EQ(::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        return {client, ::accept(socket_, nullptr, nullptr)};
    }

private:
    bool started_ = false;
    SOCKET socket_ = INVALID_SOCKET;
    std::uint16_t port_ = 0;
};

bool Carries(SOCKET from, SOCKET to) {
    char byte = 'x';
    return ::send(from, &byte, 1, 0) == 1 && ::recv(to, &byte, 1, 0) == 1;
}

} // namespace

// The Windows search for the program's connections probes handle values: a
// call blocked on a connection returns once it is shut down, and every other
// connection keeps working.
TEST(WindowsLoopbackConnections, AShutDownEndsTheCallBlockedOnItAndSparesEveryOtherConnection) {
    const WinsockListener server;
    const WinsockListener elsewhere;
    const auto [earlier, earlierAccepted] = server.Connect();
    const auto spared = platform::LoopbackConnectionsTo(server.port());
    ASSERT_EQ(spared.size(), 1u);
    const auto [waiting, accepted] = server.Connect();
    const auto [other, otherAccepted] = elsewhere.Connect();
    EXPECT_EQ(platform::LoopbackConnectionsTo(server.port()).size(), 2u);

    auto blocked = std::async(std::launch::async, [client = waiting] {
        char byte = 0;
        return ::recv(client, &byte, 1, 0);
    });
    EXPECT_EQ(blocked.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
    EXPECT_EQ(platform::ShutDownLoopbackConnectionsTo(server.port(), spared), 1u);
    const bool returned = blocked.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    if (!returned) {
        closesocket(waiting); // so that the test ends
    }
    ASSERT_TRUE(returned);
    EXPECT_LE(blocked.get(), 0); // the connection's end, or the cancelled receive's error

    EXPECT_TRUE(Carries(earlierAccepted, earlier));
    EXPECT_TRUE(Carries(otherAccepted, other));
    for (const SOCKET socket :
         {earlier, earlierAccepted, waiting, accepted, other, otherAccepted}) {
        closesocket(socket);
    }
}

// What a join asks of the system: the held primary lengthened with zeros and
// cut back, the journal created new, read, and removed.
TEST(WindowsJoinFiles, LengthenAndCutAHeldFileAndKeepAJournal) {
    WinTempDir dir;
    const std::string file = dir / "Tessaldrin.TDB";
    WriteAll(file, "abc");
    {
        auto held = platform::LockedFile::Open(file);
        ASSERT_TRUE(held);
        EXPECT_TRUE(held->Reserve(1 << 20));
        EXPECT_EQ(held->Size(), 1u << 20);
        EXPECT_TRUE(ReadAll(file) == "abc" + std::string((1 << 20) - 3, '\0'));
        EXPECT_TRUE(held->Shorten(2));
        EXPECT_TRUE(held->Shorten(5));
    }
    EXPECT_EQ(ReadAll(file), "ab");
    const std::string journal = dir / "Tessaldrin.TDB.join-journal";
    EXPECT_TRUE(platform::CreateDurableFile(journal, "zeile\n"));
    EXPECT_FALSE(platform::CreateDurableFile(journal, "anders"));
    EXPECT_EQ(platform::ReadSmallFile(journal, 100), "zeile\n");
    EXPECT_TRUE(platform::RemoveDurably(journal));
    EXPECT_EQ(dir.Names(), Lines{"Tessaldrin.TDB"});
    EXPECT_GT(platform::FreeSpace(dir.withSeparator()).value_or(0), 0u);
}
