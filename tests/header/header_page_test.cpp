#include "header/chain_entries.h"
#include "header/header_page.h"
#include "tests/header/synthetic_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

using namespace tessaldrin::header;
using tessaldrin::testing::SyntheticPage;

namespace {

// A page image of the largest size holding `page` at its start, as the
// editor keeps it.
std::vector<std::uint8_t> Image(const SyntheticPage& page) {
    std::vector<std::uint8_t> image(kMaxPageSize, 0);
    std::memcpy(image.data(), page.Bytes().data(), page.Bytes().size());
    return image;
}

} // namespace

TEST(HeaderChecksum, SumsTheWordsWithTheChecksumFieldAsZero) {
    SyntheticPage page(1024, 0);
    EXPECT_EQ(HeaderChecksum(page.Bytes().data(), 1024), 1025);
    page.StoreChecksum(0xFFFF);
    EXPECT_EQ(HeaderChecksum(page.Bytes().data(), 1024), 1025);

    // Version 7 adds 7 * 2^16, which the low 16 bits do not show; below 8
    // the computed sum is what the engine expects.
    page.Set16(18, 7);
    EXPECT_EQ(HeaderChecksum(page.Bytes().data(), 1024), 1025);
    EXPECT_EQ(ExpectedChecksum(page.Bytes().data(), 1024), 1025);

    // Every word of a page counts, the first and the last included, in
    // little-endian order, and nothing behind the page size does.
    for (std::size_t size : {1024u, 8192u}) {
        SyntheticPage full(size, 7);
        full.FillFixedPart();
        for (std::size_t i = 96; i < size; ++i) {
            full.Set8(i, static_cast<std::uint8_t>(i * 7 % 255 + 1));
        }
        std::vector<std::uint8_t> image = Image(full);
        image[size] = 0xAB;
        EXPECT_EQ(HeaderChecksum(image.data(), size), full.Sum()) << size;
        EXPECT_EQ(ExpectedChecksum(image.data(), size), full.Sum()) << size;
    }
}

TEST(HeaderChecksum, ExpectsTheFixedValueFromVersion8OrWithImplementation16From9) {
    struct Case {
        std::uint16_t version;
        std::uint16_t implementation;
        std::uint16_t expected;
    };
    const Case cases[] = {
        {7, 0, 1025},       {8, 0, 12345},  {8, 16, 1025},       {9, 16, 12345},
        {7, 16, 1025},      {10, 3, 12345}, {0x8001, 16, 12345}, // top bit: unsigned
        {0x800B, 0, 12345},                                      // as Firebird 2 writes it
    };
    for (const Case& c : cases) {
        SyntheticPage page(1024, c.version);
        page.Set16(60, c.implementation);
        // The implementation field is part of the sum as well.
        const std::uint16_t expected = c.expected == 12345 ? 12345 : page.Sum();
        EXPECT_EQ(ExpectedChecksum(page.Bytes().data(), 1024), expected)
            << "version " << c.version << ", implementation " << c.implementation;
    }
}

// The newer forms themselves are read and rebuilt in the editor's tests;
// here: which words fall to the classic form and which are refused. Without
// the Firebird flag, or below ODS 12, a word is classic whatever its value.
TEST(HeaderForms, TakeEveryWordButTheNewerFirebirdOnesAsClassic) {
    for (std::uint16_t word : {0, 7, 8, 10, 12, 13, 14, 0x7FFF, 0x8000, 0x800A, 0x800B}) {
        const auto form = FormOf(word);
        ASSERT_TRUE(form) << word;
        EXPECT_EQ(form->dataStart, 96u) << word;
    }
    for (std::uint16_t word : {0x800E, 0x800F, 0x8014, 0xFFFF}) {
        EXPECT_FALSE(FormOf(word)) << word;
    }
}

TEST(HeaderPageSize, AcceptsThePowersOfTwoFrom1024To32768Only) {
    for (std::uint32_t size : {1024u, 2048u, 4096u, 8192u, 16384u, 32768u}) {
        EXPECT_TRUE(IsAcceptedPageSize(size)) << size;
    }
    for (std::uint32_t size : {0u, 512u, 1023u, 1025u, 3000u, 65535u, 65536u}) {
        EXPECT_FALSE(IsAcceptedPageSize(size)) << size;
    }
    SyntheticPage page(1024);
    page.Set16(16, 3000);
    EXPECT_FALSE(ViewOf(Image(page).data()));
    page.Set16(16, 1024).Set16(18, 0x800E);
    EXPECT_FALSE(ViewOf(Image(page).data()));
}

// The walk reads a page of exactly its size here, so that a read beyond
// the page end is caught by the address sanitizer.
TEST(HeaderEntryWalk, StopsAtTheMarkerOrThePageEndAndNeverReadsBeyond) {
    SyntheticPage empty(1024);
    PageView view{empty.Bytes().data(), 1024, *FormOf(10)};
    EXPECT_EQ(FindContinuation(view).outcome, ContinuationSearch::Outcome::kNone);

    // An opaque entry that ends at the last byte leaves no room for a
    // marker; the page end ends the list.
    SyntheticPage full(1024);
    full.FillTo(1024);
    view.bytes = full.Bytes().data();
    EXPECT_EQ(EntryAt(view, 1024).kind, Entry::Kind::kEnd);
    EXPECT_EQ(FindContinuation(view).outcome, ContinuationSearch::Outcome::kNone);

    // A continuation name that ends at the last byte is found whole.
    SyntheticPage last(1024);
    last.FillTo(1024 - 102).Entry(3, std::string(100, 'n'));
    ASSERT_EQ(last.End(), 1024u);
    view.bytes = last.Bytes().data();
    const ContinuationSearch found = FindContinuation(view);
    EXPECT_EQ(found.outcome, ContinuationSearch::Outcome::kFound);
    EXPECT_EQ(found.name, std::string(100, 'n'));

    // A type byte on the last byte has its length outside the page.
    SyntheticPage edge(1024);
    edge.FillTo(1023);
    edge.Set8(1023, 3);
    view.bytes = edge.Bytes().data();
    EXPECT_EQ(EntryAt(view, 1023).kind, Entry::Kind::kOverrun);
    EXPECT_EQ(FindContinuation(view).outcome, ContinuationSearch::Outcome::kOverrun);

    // A length that reaches one byte past the end.
    SyntheticPage past(1024);
    past.FillTo(1021);
    past.Set8(1021, 3).Set8(1022, 1);
    view.bytes = past.Bytes().data();
    EXPECT_EQ(EntryAt(view, 1021).kind, Entry::Kind::kEntry);
    past.Set8(1022, 2);
    EXPECT_EQ(EntryAt(view, 1021).kind, Entry::Kind::kOverrun);
}

TEST(HeaderRebuild, PlacesTheEntriesAfreshAndLeavesTheRestZero) {
    // Garbage behind the end marker of the page as read is not carried over.
    SyntheticPage page(2048, 10);
    page.FillFixedPart()
        .Set32(40, 0xA1B2C3D4)
        .Entry(1, "root")
        .Entry(3, "old")
        .Entry(5, "tail")
        .MarkEnd();
    const std::size_t oldEnd = page.End();
    page.Set8(oldEnd + 1, 0xEE).Set8(2047, 0xEE);

    std::vector<std::uint8_t> out(kMaxPageSize, 0x55);
    std::vector<std::string> replaced;
    const PageView view{page.Bytes().data(), 2048, *FormOf(10)};
    EXPECT_EQ(RebuildPage(view, "a longer name", out.data(),
                          [&](std::string_view old) { replaced.emplace_back(old); }),
              RebuildOutcome::kRebuilt);
    EXPECT_EQ(replaced, std::vector<std::string>{"old"});

    SyntheticPage expected(2048, 10);
    expected.FillFixedPart()
        .Set32(40, 0xA1B2C3D4)
        .Entry(1, "root")
        .Entry(3, "a longer name")
        .Entry(5, "tail");
    expected.MarkEnd().StoreChecksum(12345);
    EXPECT_EQ(std::vector<std::uint8_t>(out.begin(), out.begin() + 2048), expected.Bytes());
    EXPECT_EQ(std::count(out.begin() + 2048, out.end(), 0),
              static_cast<std::ptrdiff_t>(kMaxPageSize - 2048));
}

// The entries that chain a file, in each form that writes them: read, and
// taken out of the primary's page, which keeps every other byte.
struct ChainForm {
    std::uint16_t ods;
    std::size_t dataStart;
    std::uint8_t continuation;
    std::uint8_t lastPage;
};
constexpr ChainForm kChainForms[] = {{0x800B, 96, 3, 4}, {0x800C, 132, 2, 3}, {0x800D, 128, 2, 3}};
const std::string kLastPage300("\x2c\x01\x00\x00", 4);

SyntheticPage ChainPage(const ChainForm& form) {
    SyntheticPage page(1024, form.ods, form.dataStart);
    page.FillFixedPart().StoreChecksum(0x1234);
    return page;
}

TEST(HeaderChainEntries, AreReadAndTakenOutOfThePrimaryWithEveryOtherByteKept) {
    for (const ChainForm& form : kChainForms) {
        SCOPED_TRACE(form.ods);
        SyntheticPage page = ChainPage(form);
        page.Entry(10, std::string(16, 'g'))
            .Entry(form.continuation, "/db/s1.fdb")
            .Entry(form.lastPage, kLastPage300)
            .Entry(6, "diff")
            .MarkEnd();
        const std::size_t oldEnd = page.End();
        page.Set8(oldEnd + 1, 0xEE);
        const PageView view{page.Bytes().data(), 1024, *FormOf(form.ods)};

        const ChainEntries entries = ReadChainEntries(view);
        EXPECT_EQ(entries.outcome, ChainEntries::Outcome::kRead);
        EXPECT_EQ(entries.continuation, "/db/s1.fdb");
        EXPECT_EQ(entries.lastPage, 300u);
        EXPECT_FALSE(entries.rootFileName);

        std::vector<std::uint8_t> out(1024, 0x55);
        BuildSingleFileHeader(view, out.data());
        SyntheticPage expected = ChainPage(form);
        expected.Entry(10, std::string(16, 'g')).Entry(6, "diff").MarkEnd();
        expected.Set8(oldEnd + 1, 0xEE);
        if (form.ods == 0x800B) {
            expected.StoreChecksum(12345);
        }
        EXPECT_EQ(out, expected.Bytes());
        EXPECT_EQ(ChangedExtent(page.Bytes().data(), out.data(), 1024), oldEnd);
    }
}
