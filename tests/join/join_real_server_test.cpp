// The join of three-file databases that the real servers wrote. The plan's
// refusals and the faults of a copy are shown on copies that a test changed,
// which no server ever opens. The crash table stops the join before each of
// its steps and recovers it, on the database itself, which the server opens
// only once its bytes are proven to be the chain it was or the file the join
// makes of it.
#include "header/chain_entries.h"
#include "join/join_executor.h"
#include "join/join_plan.h"
#include "join/join_recovery.h"
#include "platform/free_space.h"
#include "tests/support/firebird_fixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

namespace fs = std::filesystem;
using namespace tessaldrin;
using namespace tessaldrin::join;
using namespace tessaldrin::testing;
using Kind = JoinRefusal::Kind;

namespace {

constexpr std::size_t kPageSize = 4096;

std::vector<fs::path> ThreeFiles(const fs::path& dir) {
    return {dir / "Tessaldrin.TDB", dir / "Tessaldrin_1.TDB", dir / "Tessaldrin_2.TDB"};
}

// A database with data, blobs and indexes in every file, as the server left
// it, made once per server; its files' bytes and every row.
struct Database {
    ServerDir dir;
    std::vector<fs::path> files;
    std::vector<std::string> bytes;
    std::string rows;

    explicit Database(const Server& server)
        : dir("tm-join", server), files(ThreeFiles(dir.path())) {
        DatabaseLayout layout;
        layout.files = files;
        layout.blobs = true;
        CreateDatabase(layout);
        rows = DumpRows(files[0]);
        Released();
        for (const fs::path& file : files) {
            bytes.push_back(ReadBytes(file));
        }
    }
    // Once the server has let go of the files.
    void Released() const {
        if (!WaitUntil([&] { return !IsLockedByAnotherProcess(files[0]); })) {
            throw std::runtime_error("the server still holds " + files[0].string());
        }
    }
    // The files as the server left them, under their own names.
    void Restore() const {
        Released();
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (i > 0 && fs::exists(AsideNameFor(files[i]))) {
                fs::rename(AsideNameFor(files[i]), files[i]);
            }
            std::ofstream(files[i], std::ios::binary | std::ios::trunc) << bytes[i];
        }
    }
    static fs::path AsideNameFor(const fs::path& file) { return join::AsideNameFor(file.string()); }
};

const Database& DatabaseOf(const Server& server) {
    static std::map<const Server*, std::unique_ptr<Database>> made;
    auto& database = made[&server];
    if (!database) {
        database = std::make_unique<Database>(server);
    }
    return *database;
}

std::vector<platform::LockedFile> Hold(const std::vector<fs::path>& files) {
    std::vector<platform::LockedFile> held;
    for (const fs::path& file : files) {
        auto locked = platform::LockedFile::Open(file.string());
        if (!locked) {
            throw std::runtime_error("cannot hold " + file.string());
        }
        held.push_back(std::move(*locked));
    }
    return held;
}

JoinPlan Plan(const std::vector<fs::path>& files, std::optional<std::uint64_t> freeSpace) {
    return PlanJoin(Hold(files), freeSpace);
}

JoinPlan Plan(const std::vector<fs::path>& files) {
    return Plan(files, platform::FreeSpace(files[0].parent_path().string()));
}

std::vector<Kind> KindsOf(const std::vector<JoinRefusal>& refusals) {
    std::vector<Kind> kinds;
    for (const JoinRefusal& refusal : refusals) {
        kinds.push_back(refusal.kind);
    }
    return kinds;
}

// The bytes `expected` at `offset` of `file`: the one writer of a test that
// stands in for another program.
void Poke(const fs::path& file, std::uint64_t offset, const std::string& bytes) {
    std::fstream out(file, std::ios::binary | std::ios::in | std::ios::out);
    out.seekp(static_cast<std::streamoff>(offset));
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string LittleEndian(std::uint32_t value, std::size_t width) {
    std::string bytes;
    for (std::size_t i = 0; i < width; ++i) {
        bytes += static_cast<char>(value >> (8 * i));
    }
    return bytes;
}

std::string Page(const fs::path& file) {
    return ReadBytes(file).substr(0, kPageSize);
}

// Or-s `bits` into the flags of `file`'s header page.
void SetFlags(const fs::path& file, std::uint16_t bits) {
    const std::string page = Page(file);
    Poke(file, 42,
         LittleEndian(
             header::HeaderFlags(reinterpret_cast<const std::uint8_t*>(page.data())) | bits, 2));
}

// Appends an entry where the engine would, behind the last.
void AppendEntry(const fs::path& file, std::uint8_t type, const std::string& data) {
    const std::string page = Page(file);
    const std::uint16_t end =
        header::EntriesEnd(reinterpret_cast<const std::uint8_t*>(page.data()));
    Poke(file, end,
         std::string{static_cast<char>(type), static_cast<char>(data.size())} + data + '\0');
    Poke(file, 66, LittleEndian(static_cast<std::uint32_t>(end + 2 + data.size()), 2));
}

// The offset of the entry of `type` in the header page of `file`.
std::size_t EntryOffset(const fs::path& file, std::uint8_t type) {
    const std::string page = Page(file);
    const header::PageView view =
        *header::ViewOf(reinterpret_cast<const std::uint8_t*>(page.data()));
    for (header::Entry entry = header::EntryAt(view, view.form.dataStart);
         entry.kind == header::Entry::Kind::kEntry; entry = header::EntryAt(view, entry.next())) {
        if (entry.type == type) {
            return entry.offset;
        }
    }
    throw std::runtime_error("no entry of that type");
}

// Gives the entry of type `from` the type `to`, which the join does not read.
void Retype(const fs::path& file, std::uint8_t from, std::uint8_t to) {
    Poke(file, EntryOffset(file, from), std::string(1, static_cast<char>(to)));
}

void Append(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::app) << bytes;
}

class JoinOnServer : public ::testing::TestWithParam<const Server*> {
protected:
    const Database& database() const { return DatabaseOf(*GetParam()); }

    // The database's files copied into a directory of their own, the last
    // one cut to its header and one page, which planning needs no more of.
    std::vector<fs::path> Copies(const std::string& dirName = "Kopie") {
        copies_ = std::make_unique<ServerDir>("tm-join-copy", *GetParam());
        const fs::path dir = copies_->makeSubdir(dirName);
        const auto files = ThreeFiles(dir);
        for (std::size_t i = 0; i < files.size(); ++i) {
            const std::string& bytes = database().bytes[i];
            std::ofstream(files[i], std::ios::binary)
                << (i + 1 < files.size() ? bytes : bytes.substr(0, 2 * kPageSize));
        }
        return files;
    }

private:
    std::unique_ptr<ServerDir> copies_;
};

INSTANTIATE_TEST_SUITE_P(Servers, JoinOnServer, ::testing::Values(&Firebird3(), &Firebird4()),
                         [](const auto& info) { return std::string(info.param->name); });

} // namespace

TEST_P(JoinOnServer, PlanReadsTheRangesOfTheFilesTheServerWrote) {
    const JoinPlan plan = Plan(database().files);
    ASSERT_TRUE(plan.Holds()) << plan.refusals.size();
    EXPECT_EQ(plan.pageSize, kPageSize);
    EXPECT_EQ(plan.form.dataStart, GetParam()->odsVersion == 0x800C ? 132u : 128u);
    EXPECT_EQ(plan.files[0].firstPage, 0u);
    EXPECT_EQ(plan.files[0].lastPage, 300u);
    EXPECT_EQ(plan.files[1].firstPage, 301u);
    EXPECT_EQ(plan.files[1].lastPage, 600u);
    EXPECT_EQ(plan.files[2].firstPage, 601u);
    EXPECT_EQ(plan.files[2].lastPage, std::nullopt);
    EXPECT_EQ(plan.DataPages(1), 300u);
    EXPECT_EQ(plan.joinedSize, (601 + plan.DataPages(2)) * kPageSize);
    EXPECT_EQ(plan.BytesToCopy(), (300 + plan.DataPages(2)) * kPageSize);
}

TEST_P(JoinOnServer, PlanRefusesEveryChainThatIsNotAsTheEngineLeftIt) {
    using Files = std::vector<fs::path>;
    const std::uint16_t otherOds = GetParam()->odsVersion == 0x800C ? 0x800D : 0x800C;
    const std::optional<std::uint64_t> plenty = std::uint64_t{1} << 40;
    const struct {
        const char* name;
        std::function<void(const Files&)> change;
        std::vector<Kind> refused;
        std::size_t files = 3; // the first so many, as discovery would give them
        std::optional<std::uint64_t> freeSpace = std::uint64_t{1} << 40;
        const char* dir = "Kopie";
    } cases[] = {
        {"as the server left it", [](const Files&) {}, {}},
        {"a secondary without the ODS word",
         [](const Files& f) { Poke(f[1], 18, LittleEndian(0, 2)); },
         {}},
        {"the ODS of InterBase 6",
         [](const Files& f) { Poke(f[0], 18, LittleEndian(10, 2)); },
         {Kind::kOdsNotHandled}},
        {"the ODS of Firebird 6",
         [](const Files& f) { Poke(f[0], 18, LittleEndian(0x800E, 2)); },
         {Kind::kOdsNotHandled}},
        {"a secondary of another ODS",
         [&](const Files& f) { Poke(f[1], 18, LittleEndian(otherOds, 2)); },
         {Kind::kOdsDiffers}},
        {"a shadow's file", [](const Files& f) { SetFlags(f[0], 0x1); }, {Kind::kShadow}},
        {"a shadow's root file name",
         [](const Files& f) { AppendEntry(f[2], 1, "/alt/db.fdb"); },
         {Kind::kRootFileName}},
        {"nbackup's lock", [](const Files& f) { SetFlags(f[0], 0x400); }, {Kind::kBackupState}},
        {"nbackup's merge", [](const Files& f) { SetFlags(f[0], 0x800); }, {Kind::kBackupState}},
        {"an encryption under way",
         [](const Files& f) { SetFlags(f[0], 0x4); },
         {Kind::kEncryptionInProgress}},
        {"an overflow header page",
         [](const Files& f) { Poke(f[1], 24, LittleEndian(5, 4)); },
         {Kind::kHeaderContinues}},
        {"a second last-page entry",
         [](const Files& f) { AppendEntry(f[0], 3, LittleEndian(300, 4)); },
         {Kind::kEntriesDamaged}},
        {"a wrong sequence number",
         [](const Files& f) { Poke(f[2], 40, LittleEndian(1, 2)); },
         {Kind::kWrongSequence}},
        {"another page size",
         [](const Files& f) { Poke(f[1], 16, LittleEndian(8192, 2)); },
         {Kind::kWrongPageSize}},
        {"a wrong first page",
         [](const Files& f) { Poke(f[1], 12, LittleEndian(999, 4)); },
         {Kind::kWrongFirstPage}},
        {"no last-page entry",
         [](const Files& f) { Retype(f[0], 3, 4); },
         {Kind::kContinuationWithoutLastPage}},
        {"a last page without a continuation",
         [](const Files& f) { Retype(f[1], 2, 6); },
         {Kind::kLastPageWithoutContinuation}},
        {"a chain that ends early",
         [](const Files& f) {
             Retype(f[1], 2, 6);
             Retype(f[1], 3, 4);
         },
         {Kind::kChainEndsEarly}},
        {"without its last file", [](const Files&) {}, {Kind::kChainIncomplete}, 2},
        {"the primary alone", [](const Files&) {}, {Kind::kChainIncomplete}, 1},
        {"a single-file database",
         [](const Files& f) {
             std::string page = Page(f[0]);
             std::string joined(page.size(), '\0');
             const auto bytes = reinterpret_cast<const std::uint8_t*>(page.data());
             header::BuildSingleFileHeader(*header::ViewOf(bytes),
                                           reinterpret_cast<std::uint8_t*>(joined.data()));
             Poke(f[0], 0, joined);
         },
         {Kind::kSingleFile},
         1},
        {"a range that ends before it begins",
         [](const Files& f) { Poke(f[1], EntryOffset(f[1], 3) + 2, LittleEndian(200, 4)); },
         {Kind::kEmptyRange}},
        {"a part of a page",
         [](const Files& f) { Append(f[2], std::string(100, 'x')); },
         {Kind::kPartialPage}},
        {"a page beyond the range",
         [](const Files& f) { Append(f[1], std::string(kPageSize, '\0')); },
         {Kind::kLongerThanRange}},
        {"a journal beside it",
         [](const Files& f) { Append(JournalPathFor(f[0].string()), "Tessaldrin-Mover"); },
         {Kind::kJournalPresent}},
        {"the aside name taken",
         [](const Files& f) { Append(AsideNameFor(f[2].string()), "x"); },
         {Kind::kAsideNameTaken}},
        {"no free space known", [](const Files&) {}, {Kind::kFreeSpaceUnknown}, 3, std::nullopt},
        {"too little free space", [](const Files&) {}, {Kind::kNotEnoughSpace}, 3, kPageSize},
        {"entries reaching past the first sector",
         [](const Files& f) {
             AppendEntry(f[0], 6, std::string(250, 'd'));
             AppendEntry(f[0], 6, std::string(250, 'e'));
         },
         {Kind::kSectorExceeded}},
        {"a line break in the names",
         [](const Files&) {},
         {Kind::kNameNotJournaled, Kind::kNameNotJournaled, Kind::kNameNotJournaled},
         3,
         plenty,
         "mit\nUmbruch"},
    };
    for (const auto& c : cases) {
        auto files = Copies(c.dir);
        c.change(files);
        files.resize(c.files);
        EXPECT_EQ(KindsOf(Plan(files, c.freeSpace).refusals), c.refused) << c.name;
    }
}

namespace {

// Stops the join before `step`, where `done` is reached (any, for none).
JoinProceed StopAt(JoinStep step, std::optional<std::uint64_t> done = std::nullopt) {
    return [=](const JoinProgress& progress) {
        return !(progress.step == step && (!done || progress.done == *done));
    };
}

const JoinProceed kToTheEnd = [](const JoinProgress&) { return true; };

JoinResult Join(const std::vector<fs::path>& files, const JoinProceed& proceed) {
    JoinPlan plan = Plan(files);
    EXPECT_TRUE(plan.Holds());
    return ExecuteJoin(plan, proceed);
}

RecoveryPlan PlanRecoveryOf(const fs::path& primary) {
    return PlanRecovery(std::move(Hold({primary}).front()));
}

} // namespace

// Faults that the files themselves bring, met on the way: the join stops,
// undoes what it did and leaves the copy byte for byte as it was.
TEST_P(JoinOnServer, FaultsMetOnTheWayUndoTheJoin) {
    const struct {
        const char* name;
        std::function<void(const std::vector<fs::path>&)> before;
        std::function<void(const std::vector<fs::path>&)> atCommit;
        JoinStep step;
        JoinRefusal refusal;
    } cases[] = {
        {"a page out of place",
         [](const auto& f) { Poke(f[2], kPageSize + 12, LittleEndian(12345, 4)); },
         [](const auto&) {},
         JoinStep::kCopy,
         {Kind::kPageNumberMismatch, 2, 601, 12345}},
        {"the header written by another program meanwhile",
         [](const auto&) {},
         [](const auto& f) { Poke(f[0], 100, "x"); },
         JoinStep::kCommit,
         {Kind::kPrimaryChanged}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto files = Copies();
        c.before(files);
        std::string primary = ReadBytes(files[0]);
        const JoinResult result = Join(files, [&](const JoinProgress& progress) {
            if (progress.step == JoinStep::kCommit) {
                c.atCommit(files);
            }
            return true;
        });
        EXPECT_EQ(result.outcome, JoinResult::Outcome::kFailed);
        EXPECT_EQ(result.step, c.step);
        ASSERT_TRUE(result.refusal);
        EXPECT_EQ(result.refusal->kind, c.refusal.kind);
        EXPECT_EQ(result.refusal->file, c.refusal.file);
        EXPECT_EQ(result.refusal->expected, c.refusal.expected);
        EXPECT_EQ(result.refusal->found, c.refusal.found);
        if (c.step == JoinStep::kCommit) {
            primary[100] = 'x';
        }
        EXPECT_EQ(ReadBytes(files[0]), primary);
        EXPECT_FALSE(fs::exists(JournalPathFor(files[0].string())));
        EXPECT_TRUE(fs::exists(files[2]));
    }
}

// A journal that the files no longer bear out is never acted on.
TEST_P(JoinOnServer, RecoveryRefusesAJournalTheFilesDoNotBearOut) {
    const struct {
        const char* name;
        JoinProceed stop;
        std::function<void(const std::vector<fs::path>&)> change;
        Kind refused;
    } cases[] = {
        {"another program's file", StopAt(JoinStep::kJournal),
         [](const auto& f) { Append(JournalPathFor(f[0].string()), "Protokoll\n"); },
         Kind::kForeignJournal},
        {"the journal of another primary", StopAt(JoinStep::kCopy),
         [](const auto& f) {
             const std::string path = JournalPathFor(f[0].string());
             std::string text = ReadBytes(path);
             text.replace(text.find("primary /"), 9, "primary /anderswo/");
             std::ofstream(path, std::ios::trunc) << text;
         },
         Kind::kForeignJournal},
        {"a primary header of neither side", StopAt(JoinStep::kCommit),
         [](const auto& f) { Poke(f[0], 100, "x"); }, Kind::kPrimaryChanged},
        {"a secondary changed after the commit", StopAt(JoinStep::kRename, 0),
         [](const auto& f) { Poke(f[1], 100, "x"); }, Kind::kSecondaryChanged},
        {"a secondary under both names", StopAt(JoinStep::kRename, 1),
         [](const auto& f) { Append(f[1], "x"); }, Kind::kSecondaryTwice},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto files = Copies();
        Join(files, c.stop);
        c.change(files);
        const RecoveryPlan recovery = PlanRecoveryOf(files[0]);
        EXPECT_EQ(KindsOf(recovery.refusals), std::vector<Kind>{c.refused});
    }
}

namespace {

// The primary as the join makes it: its own pages with the new first sector,
// each secondary's pages at their places, zero in every gap.
std::string JoinedBytes(const std::vector<std::string>& files, const std::string& newSector) {
    std::string joined = files[0];
    joined.replace(0, kCommitSectorSize, newSector);
    std::uint64_t first = 0;
    for (std::size_t i = 1; i < files.size(); ++i) {
        const std::string page = files[i - 1].substr(0, kPageSize);
        const auto bytes = reinterpret_cast<const std::uint8_t*>(page.data());
        first = *header::ReadChainEntries(*header::ViewOf(bytes)).lastPage + 1;
        const std::string data = files[i].substr(kPageSize);
        if (!data.empty()) {
            joined.resize(first * kPageSize, '\0');
            joined += data;
        }
    }
    return joined;
}

} // namespace

// Stopped before each of its steps, as a signal stops it, then recovered from
// its journal: the database ends as the chain it was or as one file, byte for
// byte, and only then does the server open it and find every row, validate
// it and take new rows.
TEST_P(JoinOnServer, CrashTableEndsJoinedOrAsItWasAndTheServerOpensIt) {
    const Database& db = database();
    const std::string journalPath = JournalPathFor(db.files[0].string());
    const JoinJournal journal = Plan(db.files).Journal();
    using Action = RecoveryPlan::Action;
    const struct {
        const char* name;
        JoinProceed proceed;
        JoinResult::Outcome outcome;
        std::optional<Action> recovery; // none: no journal is left
        bool joined;
    } rows[] = {
        {"before the journal", StopAt(JoinStep::kJournal), JoinResult::Outcome::kStopped,
         std::nullopt, false},
        {"before the room is taken", StopAt(JoinStep::kReserve), JoinResult::Outcome::kStopped,
         Action::kUndo, false},
        {"before the copy", StopAt(JoinStep::kCopy, 0), JoinResult::Outcome::kStopped,
         Action::kUndo, false},
        {"in the middle of the copy", StopAt(JoinStep::kCopy, 300 * kPageSize),
         JoinResult::Outcome::kStopped, Action::kUndo, false},
        {"before the sync", StopAt(JoinStep::kSync), JoinResult::Outcome::kStopped, Action::kUndo,
         false},
        {"before the commit", StopAt(JoinStep::kCommit), JoinResult::Outcome::kStopped,
         Action::kUndo, false},
        {"before the first rename", StopAt(JoinStep::kRename, 0), JoinResult::Outcome::kStopped,
         Action::kFinish, true},
        {"between the renames", StopAt(JoinStep::kRename, 1), JoinResult::Outcome::kStopped,
         Action::kFinish, true},
        {"before the journal goes", StopAt(JoinStep::kRemoveJournal), JoinResult::Outcome::kStopped,
         Action::kFinish, true},
        {"nowhere", kToTheEnd, JoinResult::Outcome::kJoined, std::nullopt, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        db.Restore();
        EXPECT_EQ(Join(db.files, row.proceed).outcome, row.outcome);
        EXPECT_EQ(fs::exists(journalPath), row.recovery.has_value());
        if (row.recovery) {
            RecoveryPlan recovery = PlanRecoveryOf(db.files[0]);
            ASSERT_TRUE(recovery.Holds());
            EXPECT_EQ(recovery.action, *row.recovery);
            EXPECT_EQ(Recover(recovery).outcome, RecoveryResult::Outcome::kDone);
        }
        EXPECT_FALSE(fs::exists(journalPath));

        // The bytes first: a chain that is neither never reaches the server.
        ASSERT_EQ(ReadBytes(db.files[0]),
                  row.joined ? JoinedBytes(db.bytes, journal.newSector) : db.bytes[0]);
        for (std::size_t i = 1; i < db.files.size(); ++i) {
            ASSERT_EQ(ReadBytes(row.joined ? Database::AsideNameFor(db.files[i]) : db.files[i]),
                      db.bytes[i]);
            ASSERT_NE(fs::exists(db.files[i]), row.joined);
        }
        EXPECT_EQ(DumpRows(db.files[0]), db.rows);
        const CommandResult validation = Validate(db.files[0]);
        EXPECT_EQ(validation.status, 0) << validation.output;
        EXPECT_EQ(validation.output, "");
    }

    // The joined file grows as any single-file database does.
    const auto joinedSize = fs::file_size(db.files[0]);
    ASSERT_TRUE(InsertRows(db.files[0], 1500, 3000, true));
    EXPECT_GT(fs::file_size(db.files[0]), joinedSize);
    EXPECT_EQ(Validate(db.files[0]).output, "");
    EXPECT_NE(DumpRows(db.files[0]).find("ID                              4499"),
              std::string::npos);
    db.Restore();
}

// Files added beyond the primary's end leave it shorter than its range and
// them without pages: nothing to copy, the one commit, and the server grows
// the single file past where its range ended.
TEST_P(JoinOnServer, ShortPrimaryBecomesOneFileThatGrowsPastItsOldRange) {
    ServerDir dir("tm-join-short", *GetParam());
    const auto files = ThreeFiles(dir.path());
    DatabaseLayout layout;
    layout.files = {files[0]};
    layout.rows = 100;
    layout.blobs = true;
    CreateDatabase(layout);
    const IsqlResult added = RunIsql("ALTER DATABASE ADD FILE '" + files[1].string() +
                                         "' STARTING AT PAGE 2000 LENGTH 100 PAGES ADD FILE '" +
                                         files[2].string() + "';",
                                     GetParam()->Address() + ":" + files[0].string(), *GetParam());
    ASSERT_EQ(added.status, 0) << added.output;
    ASSERT_TRUE(WaitUntil([&] { return !IsLockedByAnotherProcess(files[0]); }));
    // The engine writes a copy of each new file's header page where its
    // first logical page goes: the pages that the join brings.
    std::vector<std::string> bytes;
    for (const fs::path& file : files) {
        bytes.push_back(ReadBytes(file));
    }
    ASSERT_LT(bytes[0].size(), 2000 * kPageSize);
    {
        JoinPlan plan = Plan(files);
        ASSERT_TRUE(plan.Holds());
        EXPECT_EQ(plan.BytesToCopy(), (bytes[1].size() + bytes[2].size()) - 2 * kPageSize);
        EXPECT_EQ(ExecuteJoin(plan, kToTheEnd).outcome, JoinResult::Outcome::kJoined);
        ASSERT_EQ(ReadBytes(files[0]), JoinedBytes(bytes, plan.newSector));
    }
    EXPECT_EQ(CountRows(files[0]), 100);
    ASSERT_TRUE(InsertRows(files[0], 100, 1500, true));
    EXPECT_GT(fs::file_size(files[0]), 2100 * kPageSize);
    EXPECT_EQ(CountRows(files[0]), 1600);
    EXPECT_EQ(Validate(files[0]).output, "");
}
