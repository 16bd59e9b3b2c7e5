#include "tests/integration/relink_moved_database.h"

#include "header/header_page.h"
#include "platform/format_message.h"
#include "tests/support/plan_steps.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using tessaldrin::platform::Format;
namespace msg = tessaldrin::msg;
using namespace tessaldrin::testing;
using Lines = std::vector<std::string>;

namespace {

const Lines kThreeFiles{"Tessaldrin.GDB", "Tessaldrin_1.GDB", "Tessaldrin_2.GDB"};
// Why the server's file is refused, in the user's words.
const std::string kHeldByServer = Format(msg::kReason, Format(msg::kReasonHeldElsewhere));

// The log from line `from` on.
Lines LinesFrom(const tessaldrin::ListRunLog& log, std::size_t from) {
    return Lines(log.Lines.begin() + static_cast<std::ptrdiff_t>(from), log.Lines.end());
}

Lines Concat(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

void WriteAt(const std::string& file, std::streamoff offset, const std::string& bytes) {
    std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
    out.seekp(offset);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << file;
}

// The lines of a plan refused for the reasons given, in list order.
Lines RefusalLines(const tessaldrin::RunPlan& plan) {
    tessaldrin::ListRunLog log;
    tessaldrin::LogRefusals(plan, log);
    return log.Lines;
}

// The plan of a moved three-file database made and carried out as a run
// does, but for the file table: its renames, then the relinking pass, whose
// lines it checks. The files' new names.
Lines RepairThreeFiles(MovedDatabase& db) {
    const Lines renamed{db.NewPath("Tessaldrin.TDB"), db.NewPath("Tessaldrin_1.TDB"),
                        db.NewPath("Tessaldrin_2.TDB")};
    const auto plan = db.Plan();
    const auto pass = plan.Holds() ? db.Rename(plan) : std::nullopt;
    if (!pass) {
        ADD_FAILURE() << "the plan of the moved database does not hold, or a rename failed";
        return renamed;
    }
    EXPECT_TRUE(MakeStep<tessaldrin::WriteHeaderPage>(plan, db.held, db.log));
    db.held.Release();
    EXPECT_EQ(LinesFrom(db.log, *pass),
              Concat({{"", Format(msg::kRelinkingHeading)},
                      RelinkedFileLines(renamed[0], db.OldPath(1), renamed[1]),
                      RelinkedFileLines(renamed[1], db.OldPath(2), renamed[2]),
                      RelinkedFileLines(renamed[2], "", "")}));
    return renamed;
}

} // namespace

TEST(RelinkMovedDatabase, AThreeFileDatabaseOpensInItsNewPlaceWithEveryRow) {
    MovedDatabase db(kThreeFiles, 1500);
    db.Move();
    const Lines renamed = RepairThreeFiles(db);
    for (const std::string& file : renamed) {
        EXPECT_FALSE(OpenInThisProcess(file)) << file;
        // Every file holds data pages, so the count below reads them all.
        EXPECT_GT(fs::file_size(file), 100u * 4096u) << file;
    }
    std::string why;
    EXPECT_EQ(CountRows(renamed[0], &why), 1500) << why;
}

TEST(RelinkMovedDatabase, ASingleFileDatabaseIsLeftAsItIs) {
    MovedDatabase db({"Tessaldrin.GDB"}, 10);
    db.Move();
    const auto plan = db.Plan();
    ASSERT_TRUE(plan.Holds());
    const auto pass = db.Rename(plan);
    ASSERT_TRUE(pass);
    const Lines renamed{db.NewPath("Tessaldrin.TDB")};
    const Lines before = db.Contents(renamed);

    EXPECT_TRUE(MakeStep<tessaldrin::WriteHeaderPage>(plan, db.held, db.log));
    db.held.Release();
    EXPECT_EQ(LinesFrom(db.log, *pass), Concat({{"", Format(msg::kRelinkingHeading)},
                                                RelinkedFileLines(renamed[0], "", "")}));
    EXPECT_EQ(db.Contents(renamed), before);
    EXPECT_EQ(CountRows(renamed[0]), 10);
}

TEST(RelinkMovedDatabase, WhileAnotherConnectionHoldsItThePlanIsRefusedAndNoFileChanges) {
    MovedDatabase db(kThreeFiles, 10);
    // The server keeps the files it opened, and their locks, across the move.
    HeldAttachment held(db.OldFiles());
    db.Move();
    const Lines moved{db.NewPath("Tessaldrin.GDB"), db.NewPath("Tessaldrin_1.GDB"),
                      db.NewPath("Tessaldrin_2.GDB")};
    const Lines before = db.Contents(moved);

    const auto plan = db.Plan();
    Lines expected;
    for (const std::string& file : moved) {
        expected.push_back(Refused(file, Format(msg::kCannotOpenFile)));
        expected.push_back(kHeldByServer);
    }
    EXPECT_EQ(RefusalLines(plan), expected);
    EXPECT_EQ(db.Contents(moved), before);
    for (const char* name : {"Tessaldrin.TDB", "Tessaldrin_1.TDB", "Tessaldrin_2.TDB"}) {
        EXPECT_FALSE(fs::exists(db.NewPath(name))) << name;
    }
}

// A page that the run would refuse stops it before the first rename; no other
// file gets its link meanwhile. Once the page is whole again, the next run
// repairs the whole chain.
TEST(RelinkMovedDatabase, ARefusedPageStopsTheRunBeforeAnyChangeAndANextRunCompletesTheChain) {
    MovedDatabase db(kThreeFiles, 1500);
    db.Move();
    const Lines moved{db.NewPath("Tessaldrin.GDB"), db.NewPath("Tessaldrin_1.GDB"),
                      db.NewPath("Tessaldrin_2.GDB")};
    // A page type of 5 where the header page's 1 belongs.
    WriteAt(moved[0], 0, "\x05");
    const Lines before = db.Contents(moved);

    const auto refused = db.Plan();
    EXPECT_EQ(RefusalLines(refused),
              Lines{Refused(moved[0], Format(msg::kWrongPageType) + " (5)")});
    ASSERT_EQ(refused.refusals.size(), 1u);
    EXPECT_EQ(refused.refusals[0].page,
              (tessaldrin::header::PageFault{tessaldrin::header::PageFault::Kind::kPageType, 5}));
    db.held.Release();
    EXPECT_EQ(db.Contents(moved), before);
    EXPECT_FALSE(OpenInThisProcess(moved[0]));

    WriteAt(moved[0], 0, "\x01");
    const Lines renamed = RepairThreeFiles(db);
    std::string why;
    EXPECT_EQ(CountRows(renamed[0], &why), 1500) << why;
}

TEST(RelinkMovedDatabase, AnEntryListRunningPastThePageEndRefusesThePlanAndNothingIsWritten) {
    MovedDatabase db({"Tessaldrin.GDB", "Tessaldrin_1.GDB"}, 10);
    db.Move();
    const Lines moved{db.NewPath("Tessaldrin.GDB"), db.NewPath("Tessaldrin_1.GDB")};

    // Entries of an unknown type, each of the greatest length, from the
    // entry list's start to past the page end, before the continuation entry.
    const std::string page = ReadBytes(moved[0]).substr(0, tessaldrin::header::kMinPageSize);
    const auto form = tessaldrin::header::FormOf(
        tessaldrin::header::OdsVersion(reinterpret_cast<const std::uint8_t*>(page.data())));
    ASSERT_TRUE(form.has_value());
    const std::size_t pageSize =
        tessaldrin::header::PageSize(reinterpret_cast<const std::uint8_t*>(page.data()));
    std::string entries;
    while (form->dataStart + entries.size() < pageSize) {
        entries += std::string("\x7F\xFF", 2) + std::string(255, 'x');
    }
    entries.resize(pageSize - form->dataStart);
    WriteAt(moved[0], static_cast<std::streamoff>(form->dataStart), entries);
    const Lines before = db.Contents(moved);

    EXPECT_EQ(RefusalLines(db.Plan()), Lines{Refused(moved[0], Format(msg::kEntriesOverrunPage))});
    EXPECT_EQ(db.Contents(moved), before);
}

// A server attachment that begins while the run works finds the chain locked:
// the run holds every file from before its first rename until the last page
// is written, synced and read back, the renames included.
TEST(HeldChain, EveryFileStaysLockedFromBeforeTheFirstRenameUntilTheLastPageIsWritten) {
    MovedDatabase db(kThreeFiles, 1500);
    db.Move();
    const auto plan = db.Plan();
    ASSERT_TRUE(plan.Holds());
    ASSERT_TRUE(db.Rename(plan));
    const Lines renamed{db.NewPath("Tessaldrin.TDB"), db.NewPath("Tessaldrin_1.TDB"),
                        db.NewPath("Tessaldrin_2.TDB")};
    for (const std::string& file : renamed) {
        EXPECT_TRUE(IsLockedByThisProcess(file)) << file;
    }
    std::string why;
    EXPECT_EQ(CountRows(renamed[0], &why), -1) << "the server attached a chain the run holds";

    EXPECT_TRUE(MakeStep<tessaldrin::WriteHeaderPage>(plan, db.held, db.log));
    for (const std::string& file : renamed) {
        EXPECT_TRUE(IsLockedByThisProcess(file)) << file;
    }
    db.held.Release();
    for (const std::string& file : renamed) {
        EXPECT_FALSE(IsLockedByThisProcess(file)) << file;
    }
    EXPECT_EQ(CountRows(renamed[0], &why), 1500) << why;
}

// The server holds the secondary files of an attached database, while the
// name of its primary file now stands for a free copy: the run renames and
// writes nothing at all, the free primary file included.
TEST(HeldChain, AServerHoldingPartOfTheChainKeepsEveryFileAsItWas) {
    MovedDatabase db(kThreeFiles, 10);
    HeldAttachment held(db.OldFiles()[0]);
    db.Move();
    const Lines moved{db.NewPath("Tessaldrin.GDB"), db.NewPath("Tessaldrin_1.GDB"),
                      db.NewPath("Tessaldrin_2.GDB")};
    fs::copy_file(moved[0], db.NewPath("copy"));
    fs::rename(db.NewPath("copy"), moved[0]);
    const Lines before = db.Contents(moved);

    EXPECT_EQ(RefusalLines(db.Plan()),
              (Lines{Refused(moved[0], Format(msg::kChainNotHeld)),
                     Refused(moved[1], Format(msg::kCannotOpenFile)), kHeldByServer,
                     Refused(moved[2], Format(msg::kCannotOpenFile)), kHeldByServer}));
    EXPECT_EQ(db.Contents(moved), before);
    for (const char* name : {"Tessaldrin.TDB", "Tessaldrin_1.TDB", "Tessaldrin_2.TDB"}) {
        EXPECT_FALSE(fs::exists(db.NewPath(name))) << name;
    }
}
