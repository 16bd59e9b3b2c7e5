#include "header/header_page.h"

#include <algorithm>
#include <cstring>

namespace tessaldrin::header {
namespace {

// Every field of the fixed part lies within the least page, which is read
// before anything else is known, and a page image is never shorter.
constexpr bool WithinLeastPage(Field field) {
    return field.offset + field.width <= kMinPageSize && field.width <= 4;
}
static_assert(WithinLeastPage(kPageTypeField) && WithinLeastPage(kChecksumField) &&
              WithinLeastPage(kPageSizeField) && WithinLeastPage(kOdsVersionField) &&
              WithinLeastPage(kNextHeaderPageField) && WithinLeastPage(kFileSequenceField) &&
              WithinLeastPage(kImplementationField) && WithinLeastPage(kEntriesEndField));
static_assert(WithinLeastPage(kHeaderFlagsField) && WithinLeastPage(kPageNumberField));

// An entry: its type, the length of its data, then the data.
constexpr std::size_t kEntryTypeOffset = 0;
constexpr std::size_t kEntryLengthOffset = 1;
constexpr std::size_t kEntryHeaderSize = 2;

// ODS version words. Firebird sets the flag on the versions it writes; the
// forms of ODS 12 (Firebird 3) and 13 (Firebird 4 and 5) moved the entries.
constexpr std::uint16_t kFirebirdFlag = 0x8000;
constexpr std::uint16_t kMajorVersionMask = 0x7FFF;
constexpr std::uint16_t kOds12 = kFirebirdFlag | 12;
constexpr std::uint16_t kOds13 = kFirebirdFlag | 13;
constexpr std::uint16_t kFirstUnknownFirebirdMajor = 14;

// From the engine's own on-disk structures of each generation: the entry
// types (HDR_file, HDR_last_page), the flag of an encryption under way
// (hdr_crypt_process) and the page number of every page (pag_pageno), which
// ODS 11 and older do not keep.
constexpr std::uint16_t kCryptProcessFlag = 0x0004;
constexpr HeaderForm kClassicForm{96, 3, true, 4, 0, false};
constexpr HeaderForm kOds12Form{132, 2, false, 3, kCryptProcessFlag, true};
constexpr HeaderForm kOds13Form{128, 2, false, 3, kCryptProcessFlag, true};

// From these versions on the engine stores a fixed value instead of the sum;
// the implementation that shifts the rule starts one version later.
constexpr std::uint16_t kFixedChecksum = 12345;
constexpr std::uint16_t kFixedChecksumFromVersion = 8;
constexpr std::uint16_t kShiftingImplementation = 16;
constexpr std::uint16_t kFixedChecksumFromVersionShifted = 9;

constexpr std::uint32_t kAcceptedPageSizes[] = {1024, 2048, 4096, 8192, 16384, 32768};
static_assert(kAcceptedPageSizes[0] == kMinPageSize &&
              kAcceptedPageSizes[std::size(kAcceptedPageSizes) - 1] == kMaxPageSize);

std::uint32_t ReadUnsigned(const std::uint8_t* page, std::size_t offset, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = width; i-- > 0;) {
        value = (value << 8) | page[offset + i];
    }
    return value;
}

} // namespace

std::uint32_t ReadField(const std::uint8_t* page, Field field) {
    return ReadUnsigned(page, field.offset, field.width);
}

void WriteField(std::uint8_t* page, Field field, std::uint32_t value) {
    for (std::size_t i = 0; i < field.width; ++i) {
        page[field.offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::optional<HeaderForm> FormOf(std::uint16_t odsVersion) {
    if (odsVersion == kOds12) {
        return kOds12Form;
    }
    if (odsVersion == kOds13) {
        return kOds13Form;
    }
    if ((odsVersion & kFirebirdFlag) != 0 &&
        OdsMajorVersion(odsVersion) >= kFirstUnknownFirebirdMajor) {
        return std::nullopt;
    }
    return kClassicForm;
}

std::uint16_t OdsMajorVersion(std::uint16_t odsVersion) {
    return static_cast<std::uint16_t>(odsVersion & kMajorVersionMask);
}

bool IsFirebirdOds(std::uint16_t odsVersion) {
    return (odsVersion & kFirebirdFlag) != 0;
}

bool IsAcceptedPageSize(std::uint32_t size) {
    for (std::uint32_t accepted : kAcceptedPageSizes) {
        if (size == accepted) {
            return true;
        }
    }
    return false;
}

std::int8_t PageType(const std::uint8_t* page) {
    return static_cast<std::int8_t>(ReadField(page, kPageTypeField));
}
std::uint16_t StoredChecksum(const std::uint8_t* page) {
    return static_cast<std::uint16_t>(ReadField(page, kChecksumField));
}
std::uint16_t PageSize(const std::uint8_t* page) {
    return static_cast<std::uint16_t>(ReadField(page, kPageSizeField));
}
std::uint16_t OdsVersion(const std::uint8_t* page) {
    return static_cast<std::uint16_t>(ReadField(page, kOdsVersionField));
}
std::uint32_t NextHeaderPage(const std::uint8_t* page) {
    return ReadField(page, kNextHeaderPageField);
}
std::uint16_t FileSequence(const std::uint8_t* page) {
    return static_cast<std::uint16_t>(ReadField(page, kFileSequenceField));
}
std::uint16_t ImplementationId(const std::uint8_t* page) {
    return static_cast<std::uint16_t>(ReadField(page, kImplementationField));
}
std::uint16_t EntriesEnd(const std::uint8_t* page) {
    return static_cast<std::uint16_t>(ReadField(page, kEntriesEndField));
}
std::uint16_t HeaderFlags(const std::uint8_t* page) {
    return static_cast<std::uint16_t>(ReadField(page, kHeaderFlagsField));
}
std::uint32_t PageNumber(const std::uint8_t* page) {
    return ReadField(page, kPageNumberField);
}

std::uint16_t HeaderChecksum(const std::uint8_t* page, std::size_t pageSize) {
    constexpr std::size_t kWord = 4;
    static_assert(kChecksumField.offset % kWord + kChecksumField.width <= kWord);
    std::uint32_t sum = 0;
    for (std::size_t offset = 0; offset + kWord <= pageSize; offset += kWord) {
        sum += ReadUnsigned(page, offset, kWord);
    }
    // The sum is taken as if the checksum field held 0.
    sum -= ReadField(page, kChecksumField) << (8 * (kChecksumField.offset % kWord));
    return static_cast<std::uint16_t>(sum);
}

std::uint16_t ExpectedChecksum(const std::uint8_t* page, std::size_t pageSize) {
    const std::uint16_t version = OdsVersion(page);
    const bool shifted = ImplementationId(page) == kShiftingImplementation;
    const std::uint16_t fixedFrom =
        shifted ? kFixedChecksumFromVersionShifted : kFixedChecksumFromVersion;
    return version >= fixedFrom ? kFixedChecksum : HeaderChecksum(page, pageSize);
}

std::optional<PageView> ViewOf(const std::uint8_t* page) {
    const std::uint16_t size = PageSize(page);
    if (!IsAcceptedPageSize(size)) {
        return std::nullopt;
    }
    const auto form = FormOf(OdsVersion(page));
    if (!form) {
        return std::nullopt;
    }
    return PageView{page, size, *form};
}

std::size_t Entry::next() const {
    return offset + kEntryHeaderSize + length;
}

std::string_view Entry::data(const PageView& page) const {
    return {reinterpret_cast<const char*>(page.bytes + offset + kEntryHeaderSize), length};
}

Entry EntryAt(const PageView& page, std::size_t offset) {
    if (offset >= page.size) {
        // The entry before ended at the last byte: no room is left for an
        // end marker, and the page end ends the list.
        return {Entry::Kind::kEnd, offset, kEndMarkerType, 0};
    }
    const std::uint8_t type = page.bytes[offset + kEntryTypeOffset];
    if (type == kEndMarkerType) {
        return {Entry::Kind::kEnd, offset, type, 0};
    }
    if (offset + kEntryHeaderSize > page.size) {
        return {Entry::Kind::kOverrun, offset, type, 0};
    }
    const std::uint8_t length = page.bytes[offset + kEntryLengthOffset];
    const bool within = offset + kEntryHeaderSize + length <= page.size;
    return {within ? Entry::Kind::kEntry : Entry::Kind::kOverrun, offset, type, length};
}

bool IsStoredFileName(std::string_view name) {
    return std::none_of(name.begin(), name.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

ContinuationSearch FindContinuation(const PageView& page) {
    for (std::size_t offset = page.form.dataStart;;) {
        const Entry entry = EntryAt(page, offset);
        switch (entry.kind) {
        case Entry::Kind::kEnd:
            return {ContinuationSearch::Outcome::kNone, {}};
        case Entry::Kind::kOverrun:
            return {ContinuationSearch::Outcome::kOverrun, {}};
        case Entry::Kind::kEntry:
            if (entry.type == page.form.continuationType) {
                const std::string_view name = entry.data(page);
                return {IsStoredFileName(name) ? ContinuationSearch::Outcome::kFound
                                               : ContinuationSearch::Outcome::kDamaged,
                        name};
            }
            offset = entry.next();
            break;
        }
    }
}

namespace {

bool FitsAt(const PageView& page, std::size_t offset, std::size_t dataLength) {
    return offset + kEntryHeaderSize + dataLength <= page.size;
}

// Writes an entry at `offset` of `out`, which FitsAt has allowed; the offset
// behind it.
std::size_t PlaceEntry(std::uint8_t* out, std::size_t offset, std::uint8_t type,
                       std::string_view data) {
    out[offset + kEntryTypeOffset] = type;
    out[offset + kEntryLengthOffset] = static_cast<std::uint8_t>(data.size());
    std::memcpy(out + offset + kEntryHeaderSize, data.data(), data.size());
    return offset + kEntryHeaderSize + data.size();
}

} // namespace

RebuildOutcome RebuildPage(const PageView& page, std::string_view newName, std::uint8_t* out,
                           const std::function<void(std::string_view oldName)>& replaced) {
    if (newName.size() > UINT8_MAX) {
        return RebuildOutcome::kNameDoesNotFit;
    }
    std::memset(out, 0, kMaxPageSize);
    std::memcpy(out, page.bytes, page.form.dataStart);
    std::size_t in = page.form.dataStart;
    std::size_t placed = page.form.dataStart;
    bool anyReplaced = false;
    for (;;) {
        const Entry entry = EntryAt(page, in);
        if (entry.kind == Entry::Kind::kEnd) {
            break;
        }
        const bool continuation = entry.type == page.form.continuationType;
        if (!FitsAt(page, placed, continuation ? newName.size() : entry.length)) {
            return continuation ? RebuildOutcome::kNameDoesNotFit
                                : RebuildOutcome::kEntriesTooLarge;
        }
        if (entry.kind == Entry::Kind::kOverrun) {
            return RebuildOutcome::kEntryOverrun;
        }
        if (continuation && !IsStoredFileName(entry.data(page))) {
            return RebuildOutcome::kDamagedName;
        }
        if (continuation) {
            replaced(entry.data(page));
            placed = PlaceEntry(out, placed, entry.type, newName);
            anyReplaced = true;
        } else {
            placed = PlaceEntry(out, placed, entry.type, entry.data(page));
        }
        in = entry.next();
    }
    if (!anyReplaced) {
        return RebuildOutcome::kNoContinuation;
    }
    // The engine adds and removes entries where this field points; left at
    // the old end it would point into the moved entries.
    if (EntriesEnd(page.bytes) == in) {
        WriteField(out, kEntriesEndField, static_cast<std::uint32_t>(placed));
    }
    if (page.form.checksumInUse) {
        WriteField(out, kChecksumField, ExpectedChecksum(out, page.size));
    }
    return RebuildOutcome::kRebuilt;
}

} // namespace tessaldrin::header
