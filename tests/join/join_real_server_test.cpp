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

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

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
        Restore();
        for (const fs::path& file : files) {
            bytes.push_back(ReadBytes(file));
        }
    }
    // The files as the server left them, under their own names.
    // (Once the server has let go of them.)
    void Restore() const {
        if (!WaitUntil([&] { return !IsLockedByAnotherProcess(files[0]); })) {
            throw std::runtime_error("the server still holds " + files[0].string());
        }
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (i > 0 && fs::exists(AsideNameFor(files[i]))) {
                fs::rename(AsideNameFor(files[i]), files[i]);
            }
            std::ofstream(files[i], std::ios::binary | std::ios::trunc) << bytes[i];
        }
    }
    static fs::path AsideNameFor(const fs::path& file) { return join::AsideNameFor(file.string()); }
};

// Each file opened and locked, as discovery holds them; throws for one that
// cannot be.
std::vector<platform::LockedFile> Hold(const std::vector<fs::path>& files) {
    std::vector<platform::LockedFile> held;
    for (const fs::path& file : files) {
        held.push_back(std::move(platform::LockedFile::Open(file.string()).value()));
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

using Change = std::function<void(const std::vector<fs::path>&)>;
const Change kNoChange = [](const auto&) {};

// `value` in `width` bytes at `offset` of file `file`.
Change PokeAt(std::size_t file, std::uint64_t offset, std::uint32_t value, std::size_t width) {
    return [=](const auto& f) { Poke(f[file], offset, LittleEndian(value, width)); };
}

Change FlagsOf(std::size_t file, std::uint16_t bits) {
    return [=](const auto& f) { SetFlags(f[file], bits); };
}

Change RetypeIn(std::size_t file, std::uint8_t from, std::uint8_t to) {
    return [=](const auto& f) { Retype(f[file], from, to); };
}

class JoinOnServer : public ::testing::TestWithParam<const Server*> {
protected:
    const Database& database() {
        if (!database_) {
            database_ = std::make_unique<Database>(*GetParam());
        }
        return *database_;
    }

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
    std::unique_ptr<Database> database_;
    std::unique_ptr<ServerDir> copies_;
};

std::string ServerName(const ::testing::TestParamInfo<const Server*>& info) {
    return info.param->name;
}

INSTANTIATE_TEST_SUITE_P(Servers, JoinOnServer,
                         ::testing::Values(&Firebird25(), &Firebird3(), &Firebird4()), ServerName);

} // namespace

// The rows that alter entries do so by the types of the server's form; those
// of page numbers and encryption only where the form keeps them.
TEST_P(JoinOnServer, PlanRefusesEveryChainThatIsNotAsTheEngineLeftIt) {
    const header::HeaderForm form = *header::FormOf(GetParam()->odsVersion);
    const std::uint8_t next = form.continuationType, last = form.lastPageType;
    const std::uint8_t opaque = 6; // an entry type that no chain check reads
    const std::uint16_t otherOds = GetParam()->odsVersion == 0x800C ? 0x800D : 0x800C;
    const std::optional<std::uint64_t> plenty = std::uint64_t{1} << 40;
    const struct {
        const char* name;
        Change change;
        std::vector<Kind> refused;
        std::size_t files = 3; // the first so many, as discovery would give them
        std::optional<std::uint64_t> freeSpace = std::uint64_t{1} << 40;
        const char* dir = "Kopie";
    } cases[] = {
        {"as the server left it", kNoChange, {}},
        {"a secondary without the ODS word", PokeAt(1, 18, 0, 2), {}},
        {"the ODS of InterBase 6", PokeAt(0, 18, 10, 2), {Kind::kOdsNotHandled}},
        {"the ODS of Firebird 6", PokeAt(0, 18, 0x800E, 2), {Kind::kOdsNotHandled}},
        {"a secondary of another ODS", PokeAt(1, 18, otherOds, 2), {Kind::kOdsDiffers}},
        {"a shadow's file", FlagsOf(0, 0x1), {Kind::kShadow}},
        {"nbackup's lock", FlagsOf(0, 0x400), {Kind::kBackupState}},
        {"nbackup's merge", FlagsOf(0, 0x800), {Kind::kBackupState}},
        {"an encryption under way", FlagsOf(0, 0x4), {Kind::kEncryptionInProgress}},
        {"an overflow header page", PokeAt(1, 24, 5, 4), {Kind::kHeaderContinues}},
        {"the end offset elsewhere", PokeAt(2, 66, 200, 2), {Kind::kEntriesDamaged}},
        {"a wrong sequence number", PokeAt(2, 40, 1, 2), {Kind::kWrongSequence}},
        {"another page size", PokeAt(1, 16, 8192, 2), {Kind::kWrongPageSize}},
        {"a wrong first page", PokeAt(1, 12, 999, 4), {Kind::kWrongFirstPage}},
        {"no last-page entry", RetypeIn(0, last, last + 1), {Kind::kContinuationWithoutLastPage}},
        {"a last page without a continuation",
         RetypeIn(1, next, opaque),
         {Kind::kLastPageWithoutContinuation}},
        {"without its last file", kNoChange, {Kind::kChainIncomplete}, 2},
        {"the primary alone", kNoChange, {Kind::kChainIncomplete}, 1},
        {"no free space known", kNoChange, {Kind::kFreeSpaceUnknown}, 3, std::nullopt},
        {"too little free space", kNoChange, {Kind::kNotEnoughSpace}, 3, kPageSize},
        {"a line break in the names",
         kNoChange,
         {Kind::kNameNotJournaled, Kind::kNameNotJournaled, Kind::kNameNotJournaled},
         3,
         plenty,
         "mit\nUmbruch"},
        {"a shadow's root file name",
         [](const auto& f) { AppendEntry(f[2], 1, "/alt/db.fdb"); },
         {Kind::kRootFileName}},
        {"a second last-page entry",
         [=](const auto& f) { AppendEntry(f[0], last, "\1\1\0\0"); },
         {Kind::kEntriesDamaged}},
        {"a last page of three bytes",
         [=](const auto& f) { Poke(f[0], EntryOffset(f[0], last) + 1, "\3"); },
         {Kind::kEntriesDamaged}},
        {"a chain that ends early",
         [=](const auto& f) { RetypeIn(1, next, opaque)(f), RetypeIn(1, last, last + 1)(f); },
         {Kind::kChainEndsEarly}},
        {"a single-file database",
         [](const auto& f) {
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
         [=](const auto& f) { Poke(f[1], EntryOffset(f[1], last) + 2, LittleEndian(200, 4)); },
         {Kind::kEmptyRange}},
        {"a part of a page",
         [](const auto& f) { Append(f[2], std::string(100, 'x')); },
         {Kind::kPartialPage}},
        {"a page beyond the range",
         [](const auto& f) { Append(f[1], std::string(kPageSize, 'x')); },
         {Kind::kLongerThanRange}},
        {"a journal beside it",
         [](const auto& f) { Append(JournalPathFor(f[0].string()), "x"); },
         {Kind::kJournalPresent}},
        {"the aside name taken",
         [](const auto& f) { Append(AsideNameFor(f[2].string()), "x"); },
         {Kind::kAsideNameTaken}},
        {"entries reaching past the first sector",
         [](const auto& f) {
             AppendEntry(f[0], opaque, std::string(250, 'd'));
             AppendEntry(f[0], opaque, std::string(250, 'e'));
         },
         {Kind::kSectorExceeded}},
    };
    for (const auto& c : cases) {
        if ((!form.pagesKeepNumber && c.refused == std::vector{Kind::kWrongFirstPage}) ||
            (form.cryptProcessFlag == 0 && c.refused == std::vector{Kind::kEncryptionInProgress})) {
            continue;
        }
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
        Change before;
        Change atCommit;
        JoinStep step;
        JoinRefusal refusal;
    } cases[] = {
        {"a page out of place",
         PokeAt(2, kPageSize + 12, 12345, 4),
         kNoChange,
         JoinStep::kCopy,
         {Kind::kPageNumberMismatch, 2, 601, 12345}},
        {"the header written by another program meanwhile",
         kNoChange,
         PokeAt(0, 100, 'x', 1),
         JoinStep::kCommit,
         {Kind::kPrimaryChanged}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Only pages that keep their own number can be out of place.
        if (c.refusal.kind == Kind::kPageNumberMismatch &&
            !header::FormOf(GetParam()->odsVersion)->pagesKeepNumber) {
            continue;
        }
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
        EXPECT_EQ(result.refusal, std::optional(c.refusal));
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
        Change change;
        Kind refused;
    } cases[] = {
        {"another program's file", StopAt(JoinStep::kJournal),
         [](const auto& f) { Append(JournalPathFor(f[0].string()), "Protokoll\n"); },
         Kind::kForeignJournal},
        {"the journal of another primary", StopAt(JoinStep::kCopy),
         [](const auto& f) {
             const std::string path = JournalPathFor(f[0].string());
             Poke(path, ReadBytes(path).find("\nprimary /") + 9, "X");
         },
         Kind::kForeignJournal},
        {"a primary header of neither side", StopAt(JoinStep::kCommit), PokeAt(0, 100, 'x', 1),
         Kind::kPrimaryChanged},
        {"a secondary changed after the commit", StopAt(JoinStep::kRename, 0),
         PokeAt(1, 100, 'x', 1), Kind::kSecondaryChanged},
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

// The console program joining a database, run as a process of its own and
// held still from outside, between two of its system calls, at the place of
// the join that the files on disk and the bytes it wrote show.
class StoppableJoin {
public:
    // The places, in the order the join passes them.
    enum class Place {
        kBeforeJournal,
        kJournalWritten,
        kMidCopy,
        kCopied,    // every page copied, the header not yet written
        kCommitted, // the one sector written, no secondary put aside
        kMidRename,
        kRenamed, // every secondary aside, the journal still there
        kEnded,
    };

    StoppableJoin(const Server& server, const std::vector<fs::path>& files,
                  std::uint64_t bytesToCopy, const fs::path& output)
        : files_(files), journal_(JournalPathFor(files[0].string())), bytesToCopy_(bytesToCopy),
          output_(output) {
        const std::string command = WithClientLibrary(server) + "exec " TM_CLI_PATH " --port " +
                                    std::to_string(server.port) + " --join --primary '" +
                                    files[0].string() + "' --confirm JA </dev/null >'" +
                                    output.string() + "' 2>&1";
        std::ofstream(output, std::ios::trunc).flush();
        pid_ = fork();
        if (pid_ == 0) {
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~StoppableJoin() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    StoppableJoin(const StoppableJoin&) = delete;
    StoppableJoin& operator=(const StoppableJoin&) = delete;

    // Lets the program run in short slices, stopped between them, until it
    // is stopped at `place` or past it; sends it `signal` there and waits
    // for its end. Where it was.
    Place SignalAt(Place place, int signal) {
        Place now = Place::kBeforeJournal;
        while (true) {
            kill(pid_, SIGSTOP);
            int status = 0;
            if (waitpid(pid_, &status, WUNTRACED) != pid_ || !WIFSTOPPED(status)) {
                pid_ = -1;
                return Place::kEnded;
            }
            now = Where();
            if (now >= place) {
                break;
            }
            kill(pid_, SIGCONT);
            usleep(50);
        }
        kill(pid_, signal);
        kill(pid_, SIGCONT);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
        return now;
    }

private:
    // Read without opening a file of the chain, which the program keeps
    // free of openers (one would wait for it): only names, sizes and the
    // bytes the process wrote, less those of its log.
    Place Where() {
        const std::uint64_t written = WrittenBytes() - fs::file_size(output_);
        if (!fs::exists(journal_)) {
            // Once the server check is logged, the process writes nothing
            // more to the server until the join is over: what it has
            // written to it by then is what it wrote before the journal.
            if (ReadBytes(output_).find("(Interbase / Firebird) vorhanden") != std::string::npos) {
                toServer_ = written;
            }
            return fs::exists(files_[1]) ? Place::kBeforeJournal : Place::kEnded;
        }
        if (!fs::exists(files_[2])) {
            return Place::kRenamed;
        }
        if (!fs::exists(files_[1])) {
            return Place::kMidRename;
        }
        const std::uint64_t journal = fs::file_size(journal_);
        if (!toServer_ || written < *toServer_ + journal) {
            return Place::kEnded; // not seen before the journal: the run is made again
        }
        const std::uint64_t copied = written - *toServer_ - journal;
        if (copied >= bytesToCopy_ + kCommitSectorSize) {
            return Place::kCommitted;
        }
        if (copied == bytesToCopy_) {
            return Place::kCopied;
        }
        return copied > 0 ? Place::kMidCopy : Place::kJournalWritten;
    }
    std::uint64_t WrittenBytes() const {
        std::ifstream io("/proc/" + std::to_string(pid_) + "/io");
        std::string key;
        std::uint64_t value = 0;
        while (io >> key >> value) {
            if (key == "wchar:") {
                return value;
            }
        }
        throw std::runtime_error("no wchar for the join's process");
    }

    std::vector<fs::path> files_;
    fs::path journal_;
    std::uint64_t bytesToCopy_;
    fs::path output_;
    std::optional<std::uint64_t> toServer_;
    pid_t pid_ = -1;
};
// The primary as the join leaves it, proven before the server reads it: the
// file the engine's own join makes; where the program deleted the rows of
// RDB$FILES through the server (`rowsGone`), which wrote the file since, a
// header that names no further file, and no row left.
bool ProvenJoined(const Database& db, const std::string& newSector, bool rowsGone) {
    const std::string joined = ReadBytes(db.files[0]);
    if (!rowsGone) {
        EXPECT_EQ(joined, JoinedBytes(db.bytes, newSector));
        return joined == JoinedBytes(db.bytes, newSector);
    }
    const std::string page = joined.substr(0, kPageSize);
    const std::optional<header::PageView> view =
        header::ViewOf(reinterpret_cast<const std::uint8_t*>(page.data()));
    const auto entries = view ? std::optional(header::ReadChainEntries(*view)) : std::nullopt;
    if (!entries || entries->outcome != header::ChainEntries::Outcome::kRead ||
        entries->continuation) {
        ADD_FAILURE() << "the joined header page is not that of a single file";
        return false;
    }
    EXPECT_TRUE(StoredFileNames(db.files[0]).empty());
    return true;
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
    // The journal stays where the join stopped once it was written and before
    // it was removed; a stop before the commit ends as it was, after it joined.
    const struct {
        const char* name;
        JoinProceed proceed;
        bool journalLeft;
        bool joined;
    } rows[] = {
        {"before the journal", StopAt(JoinStep::kJournal), false, false},
        {"before the room is taken", StopAt(JoinStep::kReserve), true, false},
        {"before the copy", StopAt(JoinStep::kCopy, 0), true, false},
        {"in the middle of the copy", StopAt(JoinStep::kCopy, 300 * kPageSize), true, false},
        {"before the sync", StopAt(JoinStep::kSync), true, false},
        {"before the commit", StopAt(JoinStep::kCommit), true, false},
        {"before the first rename", StopAt(JoinStep::kRename, 0), true, true},
        {"between the renames", StopAt(JoinStep::kRename, 1), true, true},
        {"before the journal goes", StopAt(JoinStep::kRemoveJournal), true, true},
        {"nowhere", kToTheEnd, false, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        db.Restore();
        EXPECT_EQ(Join(db.files, row.proceed).outcome, row.joined && !row.journalLeft
                                                           ? JoinResult::Outcome::kJoined
                                                           : JoinResult::Outcome::kStopped);
        EXPECT_EQ(fs::exists(journalPath), row.journalLeft);
        if (row.journalLeft) {
            RecoveryPlan recovery = PlanRecoveryOf(db.files[0]);
            ASSERT_TRUE(recovery.Holds());
            EXPECT_EQ(recovery.action,
                      row.joined ? RecoveryPlan::Action::kFinish : RecoveryPlan::Action::kUndo);
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
    const std::string grown = DumpRows(db.files[0]);
    EXPECT_NE(grown.find("ID                              4499"), std::string::npos);

    // The server's own backups of the joined file hold every row: a gbak
    // backup and its restore, and nbackup's level 0 (which of a chain copies
    // only the primary) and its restore, each made by the server itself.
    const Server& server = *GetParam();
    const auto service = [&](const std::string& action) {
        return RunCommand(WithClientLibrary(server) + Tool(server, "fbsvcmgr") + " " +
                          server.Address() + ":service_mgr -user SYSDBA -password '" +
                          SysdbaPassword(server) + "' " + action + " 2>&1");
    };
    const fs::path dir = db.dir.path();
    const struct {
        const char* name;
        std::string backup, restore;
        fs::path restored;
    } backups[] = {
        {"gbak",
         "action_backup dbname '" + db.files[0].string() + "' bkp_file '" +
             (dir / "joined.fbk").string() + "'",
         "action_restore bkp_file '" + (dir / "joined.fbk").string() + "' dbname '" +
             (dir / "gbak-restored.fdb").string() + "'",
         dir / "gbak-restored.fdb"},
        {"nbackup",
         "action_nbak dbname '" + db.files[0].string() + "' nbk_file '" +
             (dir / "joined.nbk").string() + "' nbk_level 0",
         "action_nrest nbk_file '" + (dir / "joined.nbk").string() + "' dbname '" +
             (dir / "nbackup-restored.fdb").string() + "'",
         dir / "nbackup-restored.fdb"},
    };
    for (const auto& backup : backups) {
        SCOPED_TRACE(backup.name);
        const CommandResult made = service(backup.backup);
        ASSERT_EQ(made.status, 0) << made.output;
        const CommandResult restored = service(backup.restore);
        ASSERT_EQ(restored.status, 0) << restored.output;
        EXPECT_EQ(DumpRows(backup.restored), grown);
        EXPECT_EQ(Validate(backup.restored).output, "");
    }
    db.Restore();
}

// The console program killed at each step of its join, then run again: the
// next run completes or undoes it from the journal, and the database is the
// chain it was or the one file, proven byte for byte before the server opens
// it, with every row and blob, and free of errors.
TEST_P(JoinOnServer, ConsoleKilledAtEachStepIsCompletedOrUndoneByTheNextRun) {
    using Place = StoppableJoin::Place;
    const Database& db = database();
    db.Restore();
    const std::uint64_t bytesToCopy = Plan(db.files).BytesToCopy();
    const std::string newSector = Plan(db.files).newSector;
    const fs::path output = db.dir.path() / "join.out";
    const char* const undone = "Die Vereinigung war noch nicht festgeschrieben";
    const char* const finished =
        "Die Vereinigung war festgeschrieben; die Umbenennungen sind beendet.";
    // A termination signal ends the run cleanly, and its last line says how far it came.
    const struct {
        const char* name;
        Place place;
        int signal;
        bool joined;
        const char* recovered;
        const char* stopped;
    } rows[] = {
        {"killed in the middle of the copy", Place::kMidCopy, SIGKILL, false, undone, ""},
        {"killed after the copy, before the commit", Place::kCopied, SIGKILL, false, undone, ""},
        {"killed after the commit", Place::kCommitted, SIGKILL, true, finished, ""},
        {"killed between the renames", Place::kMidRename, SIGKILL, true, finished, ""},
        {"killed before the journal goes", Place::kRenamed, SIGKILL, true, finished, ""},
        {"terminated in the middle of the copy", Place::kMidCopy, SIGTERM, false, undone,
         "Der Lauf wurde durch ein Signal beendet, bevor eine Header-Seite geschrieben wurde."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        // A step can pass within one slice; the run is then made again.
        Place killedAt = Place::kEnded;
        for (int attempt = 0; attempt < 20 && killedAt != row.place; ++attempt) {
            fs::remove(JournalPathFor(db.files[0].string()));
            db.Restore();
            killedAt = StoppableJoin(*GetParam(), db.files, bytesToCopy, output)
                           .SignalAt(row.place, row.signal);
        }
        ASSERT_EQ(killedAt, row.place);
        EXPECT_NE(ReadBytes(output).find(row.stopped), std::string::npos) << ReadBytes(output);
        ASSERT_TRUE(fs::exists(JournalPathFor(db.files[0].string())));

        const CommandResult rerun =
            RunCommand(WithClientLibrary(*GetParam()) + TM_CLI_PATH " --port " +
                       std::to_string(GetParam()->port) + " --join --primary '" +
                       db.files[0].string() + "' --confirm JA </dev/null 2>&1");
        EXPECT_EQ(rerun.status, row.joined ? 0 : 1) << rerun.output;
        EXPECT_NE(rerun.output.find(row.recovered), std::string::npos) << rerun.output;
        EXPECT_FALSE(fs::exists(JournalPathFor(db.files[0].string())));

        // The bytes first: a chain that is neither never reaches the server.
        for (std::size_t i = 1; i < db.files.size(); ++i) {
            ASSERT_EQ(ReadBytes(row.joined ? Database::AsideNameFor(db.files[i]) : db.files[i]),
                      db.bytes[i]);
            ASSERT_NE(fs::exists(db.files[i]), row.joined);
        }
        if (!row.joined) {
            ASSERT_EQ(ReadBytes(db.files[0]), db.bytes[0]);
        } else {
            ASSERT_TRUE(ProvenJoined(db, newSector, GetParam()->changesFileTable));
        }
        EXPECT_EQ(DumpRows(db.files[0]), db.rows);
        const CommandResult validation = Validate(db.files[0]);
        EXPECT_EQ(validation.status, 0) << validation.output;
        EXPECT_EQ(validation.output, "");
    }
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

// The console's join of the database that the server wrote: the preview
// changes nothing, a file held open elsewhere and a journal not of this join
// are refused with nothing changed, and the run leaves one file that the
// server reads and validates.
TEST_P(JoinOnServer, ConsoleJoinPreviewsRefusesAndJoins) {
    const Database& db = database();
    db.Restore();
    const auto join = [&](const std::string& more) {
        return RunCommand(WithClientLibrary(*GetParam()) + TM_CLI_PATH " --port " +
                          std::to_string(GetParam()->port) + " --join --primary '" +
                          db.files[0].string() + "' " + more + " </dev/null 2>&1");
    };
    const auto unchanged = [&] {
        for (std::size_t i = 0; i < db.files.size(); ++i) {
            if (ReadBytes(db.files[i]) != db.bytes[i]) {
                return false;
            }
        }
        return true;
    };
    const CommandResult preview = join("--dry-run");
    EXPECT_EQ(preview.status, 0) << preview.output;
    EXPECT_NE(preview.output.find(db.files[1].string() + " wird zu " +
                                  Database::AsideNameFor(db.files[1]).string()),
              std::string::npos)
        << preview.output;
    EXPECT_TRUE(unchanged());
    {
        const std::ifstream heldElsewhere(db.files[2], std::ios::binary);
        const CommandResult held = join("--confirm JA");
        EXPECT_EQ(held.status, 1) << held.output;
        EXPECT_NE(held.output.find("Nicht vereinigt: " + db.files[2].string()), std::string::npos)
            << held.output;
    }
    const std::string journal = JournalPathFor(db.files[0].string());
    std::ofstream(journal) << "not a journal\n";
    const CommandResult foreign = join("--confirm JA");
    EXPECT_NE(foreign.output.find("gehört nicht zu dieser Datenbank"), std::string::npos)
        << foreign.output;
    fs::remove(journal);
    EXPECT_TRUE(unchanged());

    if (header::FormOf(GetParam()->odsVersion)->pagesKeepNumber) {
        // A page out of place, met in the copy: undone, and the step named.
        PokeAt(2, kPageSize + 12, 12345, 4)(db.files);
        const CommandResult misplaced = join("--confirm JA");
        EXPECT_EQ(misplaced.status, 1) << misplaced.output;
        EXPECT_NE(misplaced.output.find("im Schritt \"Seiten kopieren\" fehlgeschlagen"),
                  std::string::npos)
            << misplaced.output;
        db.Restore();
        EXPECT_TRUE(unchanged());
    }
    const std::string joinedLine =
        "Die Datenbank " + db.files[0].string() + " ist jetzt eine einzige Datei.";
    const std::string rowsKept = "ALTER DATABASE ADD FILE darf";
    const bool rowsGo = GetParam()->changesFileTable;
    if (rowsGo) {
        // A table that does not hold a row for each secondary is left as it
        // is; the database is one file all the same, and the exit code says
        // that only the rows remain.
        const IsqlResult deleted =
            RunIsql("DELETE FROM RDB$FILES WHERE RDB$FILE_SEQUENCE = 2; COMMIT;",
                    GetParam()->Address() + ":" + db.files[0].string(), *GetParam());
        ASSERT_EQ(deleted.status, 0) << deleted.output;
        const CommandResult miscounted = join("--confirm JA");
        EXPECT_EQ(miscounted.status, 4) << miscounted.output;
        EXPECT_NE(miscounted.output.find("RDB$FILES hält 1 Zeilen der Folgedateien, die Kette "
                                         "hatte 2; keine wird gelöscht."),
                  std::string::npos)
            << miscounted.output;
        EXPECT_NE(miscounted.output.find(rowsKept), std::string::npos) << miscounted.output;
        EXPECT_NE(miscounted.output.find(joinedLine), std::string::npos) << miscounted.output;
        EXPECT_EQ(StoredFileNames(db.files[0]).size(), 1U);
        db.Restore();
    }

    const std::string newSector = Plan(db.files).newSector;
    const CommandResult run = join("--confirm JA");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.find(rowsKept) == std::string::npos, rowsGo) << run.output;
    EXPECT_EQ(run.output.find("RDB$FILES: 2 Zeilen der Folgedateien gelöscht.") !=
                  std::string::npos,
              rowsGo)
        << run.output;
    EXPECT_EQ(run.output.substr(run.output.rfind('\n', run.output.size() - 2) + 1),
              joinedLine + "\n")
        << run.output;
    EXPECT_FALSE(fs::exists(journal));
    for (std::size_t i = 1; i < db.files.size(); ++i) {
        EXPECT_EQ(ReadBytes(Database::AsideNameFor(db.files[i])), db.bytes[i]);
    }
    ASSERT_TRUE(ProvenJoined(db, newSector, rowsGo));
    EXPECT_EQ(DumpRows(db.files[0]), db.rows);
    EXPECT_EQ(Validate(db.files[0]).output, "");
    db.Restore();
}
