// What the run refuses before it writes a byte: entries that are no database
// file of their own (links, directories, FIFOs), and header links that name no
// file or that a damaged page holds. Every refused case leaves every file,
// inside the database directory and outside it, as it was.
#include "tests/app/adjustment_in_dir.h"
#include "tests/header/expected_lines.h"
#include "tests/header/synthetic_page.h"
#include "tests/support/plan_steps.h"

#include "platform/format_message.h"

#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>

namespace fs = std::filesystem;
using tessaldrin::platform::Format;
namespace msg = tessaldrin::msg;
using namespace tessaldrin::testing;
using Lines = std::vector<std::string>;

namespace {

// Every entry under `dir`: its kind, link count and, for a regular file, its
// bytes; a FIFO is never opened.
std::map<fs::path, std::string> Snapshot(const fs::path& dir) {
    std::map<fs::path, std::string> entries;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const auto type = fs::symlink_status(entry.path()).type();
        entries[entry.path()] =
            std::to_string(static_cast<int>(type)) +
            (type == fs::file_type::regular
                 ? std::to_string(fs::hard_link_count(entry.path())) + ReadBytes(entry.path())
                 : "");
    }
    return entries;
}

std::string ChainPage(const std::string& link) {
    return SyntheticPage().Entry(3, link).Text();
}

// The lines that a refused plan gives its files, in list order.
Lines RefusalLines(const tessaldrin::RunPlan& plan) {
    tessaldrin::ListRunLog log;
    tessaldrin::LogRefusals(plan, log);
    return log.Lines;
}

std::string Refused(const std::string& path, const std::string& reason) {
    return lines::Error(Format(msg::kFileRefused, path, reason));
}

} // namespace

// With Tessaldrin_1.GDB no database file of its own, the run renames and
// writes nothing: neither the entry nor what it points at, nor the primary.
TEST(RefusedEntries, ALinkDirectoryOrFifoAmongTheFilesIsRefusedAndNothingIsWritten) {
    const std::pair<const char*, const std::string&> kinds[] = {{"symlink", lines::kLink},
                                                                {"hard link", lines::kSecondName},
                                                                {"directory", lines::kNotRegular},
                                                                {"FIFO", lines::kNotRegular}};
    for (const auto& [kind, reason] : kinds) {
        AdjustmentInDir at;
        TempDir outside;
        const fs::path other = outside.path() / "other.GDB";
        const fs::path entry = at.dir.path() / "Tessaldrin_1.GDB";
        WriteFile(other, ChainPage("/srv/other/other_2.GDB"));
        WriteFile(at.dir.path() / "Tessaldrin.GDB", ChainPage("/alt/Tessaldrin_1.GDB"));
        const std::string k = kind;
        if (k == "symlink") {
            fs::create_symlink(other, entry);
        } else if (k == "hard link") {
            fs::create_hard_link(other, entry);
        } else if (k == "directory") {
            fs::create_directory(entry);
        } else {
            ASSERT_EQ(mkfifo(entry.c_str(), 0600), 0);
        }
        const auto inside = Snapshot(at.dir.path());
        const auto elsewhere = Snapshot(outside.path());

        const auto plan = at.Plan();
        EXPECT_EQ(RefusalLines(plan),
                  (Lines{Refused(at.PathOf("Tessaldrin.GDB"), lines::kNotAllHeld),
                         Refused(entry.string(), lines::kCannotOpen), lines::Reason(reason)}))
            << kind;
        EXPECT_EQ(Snapshot(at.dir.path()), inside) << kind;
        EXPECT_EQ(Snapshot(outside.path()), elsewhere) << kind;
    }
}

// A link that names no file would become "<dir>.TDB"; one with control bytes
// is what a torn write leaves, and is refused before it is quoted.
TEST(RefusedLinks, ALinkNamingNoFileOrHoldingControlBytesRefusesThePlan) {
    for (const std::string link : {"", "E:\\Alt\\", "/alt/.GDB", "/alt/Tessaldrin_1.G\x01"}) {
        AdjustmentInDir at;
        WriteFile(at.dir.path() / "Tessaldrin.TDB", ChainPage(link));
        WriteFile(at.dir.path() / "Tessaldrin_1.TDB", SyntheticPage().Text());
        const auto before = Snapshot(at.dir.path());
        const bool damaged = link.find('\x01') != std::string::npos;
        EXPECT_EQ(RefusalLines(at.Plan()),
                  Lines{Refused(at.PathOf("Tessaldrin.TDB"),
                                damaged ? lines::kDamagedLink : lines::NamesNoFile(link))})
            << link;
        EXPECT_EQ(Snapshot(at.dir.path()), before) << link;
    }
}

// A new link that the file's name gives but that is longer than the 253
// characters of a link: refused with the width it exceeds, in the line of a
// name that does not fit.
TEST(RefusedLinks, ANewLinkLongerThanALinkTakesIsRefusedWithItsWidth) {
    AdjustmentInDir at;
    const std::string base = "Tessaldrin_" + std::string(240, 'x');
    WriteFile(at.dir.path() / "Tessaldrin.TDB", ChainPage(base + ".GDB"));
    WriteFile(at.dir.path() / (base + ".TDB"), SyntheticPage().Sequence(1).Text());
    const auto before = Snapshot(at.dir.path());
    ASSERT_GT(at.PathOf(base + ".TDB").size(), 253u);
    const auto plan = at.Plan();
    ASSERT_EQ(plan.refusals.size(), 1u);
    EXPECT_EQ(plan.refusals[0].page, (tessaldrin::header::PageFault{
                                         tessaldrin::header::PageFault::Kind::kLinkTooLong, 253}));
    EXPECT_EQ(RefusalLines(plan),
              Lines{Refused(at.PathOf("Tessaldrin.TDB"), Format(msg::kNameDoesNotFit))});
    EXPECT_EQ(Snapshot(at.dir.path()), before);
}

// Between the lock and the write, the name may come to point at another
// file; the run writes the file it locked, never the one the name now gives.
TEST(HeldFiles, ThePassWritesTheFilesItLockedNotWhatTheirNamesNameLater) {
    AdjustmentInDir at;
    const fs::path primary = at.dir.path() / "Tessaldrin.TDB";
    WriteFile(primary, ChainPage("/alt/Tessaldrin_1.GDB"));
    WriteFile(at.dir.path() / "Tessaldrin_1.TDB", SyntheticPage().Sequence(1).Text());
    const auto plan = at.Plan();
    ASSERT_TRUE(plan.Holds());
    fs::rename(primary, at.dir.path() / "locked");
    WriteFile(primary, "decoy");

    EXPECT_TRUE(MakeStep<tessaldrin::WriteHeaderPage>(plan, at.held, at.log));
    EXPECT_EQ(ReadBytes(primary), "decoy");
    EXPECT_EQ(ReadBytes(at.dir.path() / "locked"), ChainPage(at.PathOf("Tessaldrin_1.TDB")));
}
