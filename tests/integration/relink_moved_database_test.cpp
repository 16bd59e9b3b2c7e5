#include "tests/integration/relink_moved_database.h"

#include "header/header_page.h"
#include "platform/format_message.h"
#include "platform/load_string.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using tessaldrin::platform::FormatMessage;
using tessaldrin::platform::LoadString;
using namespace tessaldrin::testing;
using Lines = std::vector<std::string>;

namespace {

const Lines kThreeFiles{"Tessaldrin.GDB", "Tessaldrin_1.GDB", "Tessaldrin_2.GDB"};
// A file that the server holds: the error line and the line that says why.
const Lines kHeldByServer{FormatMessage(21007, LoadString(21018)),
                          FormatMessage(21080, LoadString(21083))};

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

// Discovery and, as a run does it, renaming where needed; the log line
// where the relinking pass will begin.
std::size_t DiscoverAndRename(MovedDatabase& db) {
    EXPECT_TRUE(db.adjustment.FindDatabaseFiles());
    if (db.adjustment.NeedsRenaming()) {
        db.adjustment.RenameFiles();
    }
    return db.log.Lines.size();
}

void WriteAt(const std::string& file, std::streamoff offset, const std::string& bytes) {
    std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
    out.seekp(offset);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << file;
}

} // namespace

TEST(RelinkMovedDatabase, AThreeFileDatabaseOpensInItsNewPlaceWithEveryRow) {
    MovedDatabase db(kThreeFiles, 1500);
    db.Move();
    const std::size_t pass = DiscoverAndRename(db);
    const Lines renamed{db.NewPath("Tessaldrin.TDB"), db.NewPath("Tessaldrin_1.TDB"),
                        db.NewPath("Tessaldrin_2.TDB")};
    ASSERT_EQ(db.adjustment.FileList, renamed);

    EXPECT_TRUE(db.adjustment.ChangeHeaderLinks());
    EXPECT_EQ(LinesFrom(db.log, pass),
              Concat({{"", LoadString(21033)},
                      RelinkedFileLines(renamed[0], db.OldPath(1), renamed[1]),
                      RelinkedFileLines(renamed[1], db.OldPath(2), renamed[2]),
                      RelinkedFileLines(renamed[2], "", "")}));
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
    const std::size_t pass = DiscoverAndRename(db);
    const Lines renamed{db.NewPath("Tessaldrin.TDB")};
    ASSERT_EQ(db.adjustment.FileList, renamed);
    const Lines before = db.Contents(renamed);

    EXPECT_TRUE(db.adjustment.ChangeHeaderLinks());
    EXPECT_EQ(LinesFrom(db.log, pass),
              Concat({{"", LoadString(21033)}, RelinkedFileLines(renamed[0], "", "")}));
    EXPECT_EQ(db.Contents(renamed), before);
    EXPECT_EQ(CountRows(renamed[0]), 10);
}

TEST(RelinkMovedDatabase, WhileAnotherConnectionHoldsItNoFileChangesAndThePassFails) {
    MovedDatabase db(kThreeFiles, 10);
    // The server keeps the files it opened, and their locks, across the move.
    HeldAttachment held(db.OldFiles());
    db.Move();
    const Lines moved{db.NewPath("Tessaldrin.GDB"), db.NewPath("Tessaldrin_1.GDB"),
                      db.NewPath("Tessaldrin_2.GDB")};
    const Lines before = db.Contents(moved);
    const std::size_t pass = DiscoverAndRename(db);
    EXPECT_EQ(db.adjustment.FileList, moved);

    EXPECT_FALSE(db.adjustment.ChangeHeaderLinks());
    Lines expected{"", LoadString(21033)};
    for (const std::string& file : moved) {
        expected = Concat({expected, {FormatMessage(21039, file)}, kHeldByServer, {""}});
    }
    EXPECT_EQ(LinesFrom(db.log, pass), expected);
    EXPECT_EQ(db.Contents(moved), before);
    for (const char* name : {"Tessaldrin.TDB", "Tessaldrin_1.TDB", "Tessaldrin_2.TDB"}) {
        EXPECT_FALSE(fs::exists(db.NewPath(name))) << name;
    }
}

TEST(RelinkMovedDatabase, AFailingFileDoesNotStopTheOthersAndASecondRunCompletesTheChain) {
    MovedDatabase db(kThreeFiles, 1500);
    db.Move();
    const std::size_t pass = DiscoverAndRename(db);
    const Lines renamed = db.adjustment.FileList;
    ASSERT_EQ(renamed.size(), 3u);
    // A page type of 5 where the header page's 1 belongs.
    WriteAt(renamed[0], 0, "\x05");
    const std::string damaged = ReadBytes(renamed[0]);

    EXPECT_FALSE(db.adjustment.ChangeHeaderLinks());
    EXPECT_EQ(LinesFrom(db.log, pass),
              Concat({{"", LoadString(21033), FormatMessage(21039, renamed[0]),
                       FormatMessage(21009, LoadString(21022), 5), ""},
                      RelinkedFileLines(renamed[1], db.OldPath(2), renamed[2]),
                      RelinkedFileLines(renamed[2], "", "")}));
    EXPECT_EQ(ReadBytes(renamed[0]), damaged);
    EXPECT_FALSE(OpenInThisProcess(renamed[0]));

    // Once the page is whole again, the next pass links the primary file too;
    // the secondary's link is already its target and stays so.
    WriteAt(renamed[0], 0, "\x01");
    const std::size_t second = db.log.Lines.size();
    EXPECT_TRUE(db.adjustment.ChangeHeaderLinks());
    EXPECT_EQ(LinesFrom(db.log, second),
              Concat({{"", LoadString(21033)},
                      RelinkedFileLines(renamed[0], db.OldPath(1), renamed[1]),
                      RelinkedFileLines(renamed[1], renamed[2], renamed[2]),
                      RelinkedFileLines(renamed[2], "", "")}));
    std::string why;
    EXPECT_EQ(CountRows(renamed[0], &why), 1500) << why;
}

TEST(RelinkMovedDatabase, AnEntryListRunningPastThePageEndFailsThePassAndIsNotWritten) {
    MovedDatabase db({"Tessaldrin.GDB", "Tessaldrin_1.GDB"}, 10);
    db.Move();
    const std::size_t pass = DiscoverAndRename(db);
    const Lines renamed = db.adjustment.FileList;
    ASSERT_EQ(renamed.size(), 2u);

    // Entries of an unknown type, each of the greatest length, from the
    // entry list's start to past the page end, before the continuation entry.
    const std::string page = ReadBytes(renamed[0]).substr(0, tessaldrin::header::kMinPageSize);
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
    WriteAt(renamed[0], static_cast<std::streamoff>(form->dataStart), entries);
    const Lines before = db.Contents(renamed);

    EXPECT_FALSE(db.adjustment.ChangeHeaderLinks());
    EXPECT_EQ(LinesFrom(db.log, pass),
              Concat({{"", LoadString(21033), FormatMessage(21039, renamed[0]),
                       FormatMessage(21007, LoadString(21015)), ""},
                      RelinkedFileLines(renamed[1], "", "")}));
    EXPECT_EQ(db.Contents(renamed), before);
}

// A server attachment that begins while the run works finds the chain locked:
// the run holds every file from before its first rename until the last page
// is written, synced and read back, the renames included.
TEST(HeldChain, EveryFileStaysLockedFromBeforeTheFirstRenameUntilTheLastPageIsWritten) {
    MovedDatabase db(kThreeFiles, 1500);
    db.Move();
    ASSERT_TRUE(db.adjustment.FindDatabaseFiles());
    ASSERT_TRUE(db.adjustment.HoldDatabaseFiles());
    db.adjustment.RenameFiles();
    const Lines renamed{db.NewPath("Tessaldrin.TDB"), db.NewPath("Tessaldrin_1.TDB"),
                        db.NewPath("Tessaldrin_2.TDB")};
    ASSERT_EQ(db.adjustment.FileList, renamed);
    for (const std::string& file : renamed) {
        EXPECT_TRUE(IsLockedByThisProcess(file)) << file;
    }
    std::string why;
    EXPECT_EQ(CountRows(renamed[0], &why), -1) << "the server attached a chain the run holds";

    EXPECT_TRUE(db.adjustment.ChangeHeaderLinks());
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

    const std::size_t pass = DiscoverAndRename(db);
    EXPECT_EQ(db.adjustment.FileList, moved);
    EXPECT_FALSE(db.adjustment.ChangeHeaderLinks());
    EXPECT_EQ(LinesFrom(db.log, pass),
              Concat({{"", LoadString(21033), FormatMessage(21039, moved[0]),
                       FormatMessage(21007, LoadString(21045)), "", FormatMessage(21039, moved[1])},
                      kHeldByServer,
                      {"", FormatMessage(21039, moved[2])},
                      kHeldByServer,
                      {""}}));
    EXPECT_EQ(db.Contents(moved), before);
    for (const char* name : {"Tessaldrin.TDB", "Tessaldrin_1.TDB", "Tessaldrin_2.TDB"}) {
        EXPECT_FALSE(fs::exists(db.NewPath(name))) << name;
    }
}
