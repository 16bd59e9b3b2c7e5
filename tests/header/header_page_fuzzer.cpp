// Arbitrary bytes as the first page of a database file, through the whole
// editor as a run drives it: held, opened, read, checked, the link read, the
// new page planned, read again and written. Besides crashes and reads beyond
// a page (under the address sanitizer), it stops on a broken promise: a
// refused change that altered the file, a written page that does not read
// back with its new link, a plan that wrote, or a page planned but not
// written.
//
// Input: byte 0 is the length of the new link name; byte 1 chooses whether
// the page is made plausible first (page type, an accepted size, a known or
// unknown version word, no next header page) so that the deeper steps are
// reached often; the rest is the file.
#include "header/header_page.h"
#include "header/held_database_files.h"
#include "header/link_editor.h"
#include "header/planned_page.h"
#include "runlog/run_log.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

using namespace tessaldrin;

namespace {

const std::string& FilePath() {
    static const std::string path = [] {
        std::string name = "/dev/shm/tm-header-fuzz-" + std::to_string(getpid());
        std::atexit([] { unlink(FilePath().c_str()); });
        return name;
    }();
    return path;
}

void Expect(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

std::string FileBytes() {
    std::string bytes;
    if (FILE* in = std::fopen(FilePath().c_str(), "rb")) {
        char buffer[4096];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) {
            bytes.append(buffer, n);
        }
        std::fclose(in);
    }
    return bytes;
}

void WriteFileBytes(const std::string& bytes) {
    FILE* out = std::fopen(FilePath().c_str(), "wb");
    Expect(out != nullptr, "the fuzzer can write its file");
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
}

void Put16(std::string& bytes, std::size_t offset, std::uint16_t value) {
    bytes[offset] = static_cast<char>(value);
    bytes[offset + 1] = static_cast<char>(value >> 8);
}

// Makes the page pass the checks that random bytes rarely pass.
void MakePlausible(std::string& bytes, std::uint8_t choice) {
    static constexpr std::uint16_t kSizes[] = {1024, 2048, 4096, 8192, 16384, 32768};
    static constexpr std::uint16_t kVersions[] = {10, 7, 8, 0x800B, 0x800C, 0x800D, 0x800E};
    const std::uint16_t size = kSizes[(choice >> 1) % 6];
    if (bytes.size() < size && (choice & 0x80) == 0) {
        bytes.resize(size, '\0');
    }
    if (bytes.size() < header::kMinPageSize) {
        return;
    }
    bytes[0] = 1;
    Put16(bytes, 16, size);
    Put16(bytes, 18, kVersions[(choice >> 4) % 7]);
    std::memset(bytes.data() + 24, 0, 4);
}

// The page rules on a buffer of exactly the page's size, where a read
// beyond the page is caught.
void WalkExactPage(const std::string& bytes, std::size_t nameLength) {
    if (bytes.size() < header::kMinPageSize) {
        return;
    }
    const auto* fixed = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const auto view = header::ViewOf(fixed);
    if (!view || bytes.size() < view->size) {
        return;
    }
    const std::vector<std::uint8_t> page(fixed, fixed + view->size);
    header::PageView exact = *view;
    exact.bytes = page.data();
    header::FindContinuation(exact);
    header::HeaderChecksum(page.data(), page.size());
    std::vector<std::uint8_t> out(header::kMaxPageSize);
    header::RebuildPage(exact, std::string(nameLength, 'n'), out.data(), [](std::string_view) {});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const std::size_t nameLength = data[0];
    std::string bytes(reinterpret_cast<const char*>(data + 2), size - 2);
    if ((data[1] & 1) != 0) {
        MakePlausible(bytes, data[1]);
    }
    WalkExactPage(bytes, nameLength);
    WriteFileBytes(bytes);

    // The file held, and its page planned and then written, as a run does.
    header::HeldDatabaseFiles held;
    Expect(held.Take({FilePath()}), "the file is held");
    header::LinkEditor editor;
    ListRunLog log;
    header::PlannedPage planned{
        {0}, FilePath(), FilePath(), {}, {}, {}, std::string(nameLength, 'n'), {}};
    Expect(editor.OpenDatabaseFile(log, FilePath(), held.At({0})), "the file opens");
    const bool read = editor.ReadHeaderPage(log);
    const bool checked = editor.CheckHeaderPage(log);
    const bool linked = editor.ReadContinuationLink(log);
    Expect(linked || editor.OldLinkName.empty(), "no link leaves the old name empty");
    // The plan's rebuild runs whatever the steps before said: it must refuse
    // by itself.
    const bool planOk = !header::PlanNewPage(editor, planned).has_value();
    Expect(FileBytes() == bytes, "planning leaves the file as it was");
    Expect(!planOk || (read && checked), "only a read and checked page is planned");
    const bool changed = planOk && planned.Writes() &&
                         header::ReopenAsPlanned(editor, held.At({0}), planned, log) &&
                         editor.WritePage(log, planned.newPage.data(), planned.newPage.size());
    editor.CloseDatabaseFile(log);
    Expect(changed == (planOk && planned.Writes()), "a page planned to be written is written");
    for (const std::string& line : log.Lines) {
        Expect(!line.empty(), "every line has a text");
    }

    const std::string after = FileBytes();
    if (!changed) {
        Expect(after == bytes, "a refused change leaves the file as it was");
        return 0;
    }
    const std::size_t pageSize = planned.newPage.size();
    Expect(pageSize == header::PageSize(planned.newPage.data()), "the page keeps its size");
    Expect(after.size() == bytes.size(), "the file keeps its length");
    Expect(std::memcmp(after.data(), planned.newPage.data(), pageSize) == 0,
           "the planned page is what the file holds");
    Expect(after.compare(pageSize, std::string::npos, bytes, pageSize) == 0,
           "nothing behind the header page changes");

    ListRunLog again;
    const std::string expected = planned.newLink;
    editor.OldLinkName.clear();
    Expect(editor.OpenDatabaseFile(again, FilePath(), held.At({0})) &&
               editor.ReadHeaderPage(again) && editor.CheckHeaderPage(again) &&
               editor.ReadContinuationLink(again),
           "the changed page reads back with a link");
    editor.CloseDatabaseFile(again);
    Expect(editor.OldLinkName == expected, "the link read back is the new name");
    Expect(again.Lines.size() == 1, "the changed page reads back without a checksum warning");
    return 0;
}
