#include "header/chain_entries.h"

#include <cstring>

namespace tessaldrin::header {
namespace {

using Outcome = ChainEntries::Outcome;

ChainEntries Refused(Outcome outcome) {
    ChainEntries refused;
    refused.outcome = outcome;
    return refused;
}

bool PlacesInChain(const PageView& page, const Entry& entry) {
    return entry.type == page.form.continuationType || entry.type == page.form.lastPageType;
}

} // namespace

ChainEntries ReadChainEntries(const PageView& page) {
    ChainEntries found;
    for (std::size_t offset = page.form.dataStart;;) {
        const Entry entry = EntryAt(page, offset);
        if (entry.kind == Entry::Kind::kEnd) {
            // The engine adds and removes entries where this field points; a
            // page on which it points elsewhere is not one the engine left.
            return EntriesEnd(page.bytes) == entry.offset ? found : Refused(Outcome::kEndMisplaced);
        }
        if (entry.kind == Entry::Kind::kOverrun) {
            return Refused(Outcome::kOverrun);
        }
        const std::string_view data = entry.data(page);
        if (entry.type == page.form.continuationType) {
            if (found.continuation) {
                return Refused(Outcome::kRepeated);
            }
            found.continuation = data;
        } else if (entry.type == page.form.lastPageType) {
            if (found.lastPage) {
                return Refused(Outcome::kRepeated);
            }
            if (data.size() != kLastPageWidth) {
                return Refused(Outcome::kBadLastPage);
            }
            found.lastPage =
                ReadField(reinterpret_cast<const std::uint8_t*>(data.data()), {0, kLastPageWidth});
        } else if (entry.type == kRootFileNameType) {
            found.rootFileName = true;
        }
        offset = entry.next();
    }
}

void BuildSingleFileHeader(const PageView& page, std::uint8_t* out) {
    std::memcpy(out, page.bytes, page.size);
    std::size_t in = page.form.dataStart;
    std::size_t placed = page.form.dataStart;
    for (Entry entry = EntryAt(page, in); entry.kind == Entry::Kind::kEntry;
         entry = EntryAt(page, in)) {
        if (!PlacesInChain(page, entry)) {
            std::memmove(out + placed, page.bytes + entry.offset, entry.next() - entry.offset);
            placed += entry.next() - entry.offset;
        }
        in = entry.next();
    }
    // From the new end marker to the old one; nothing when no entry went.
    std::memset(out + placed, 0, in - placed);
    WriteField(out, kEntriesEndField, static_cast<std::uint32_t>(placed));
    if (page.form.checksumInUse) {
        WriteField(out, kChecksumField, ExpectedChecksum(out, page.size));
    }
}

std::size_t ChangedExtent(const std::uint8_t* a, const std::uint8_t* b, std::size_t size) {
    while (size > 0 && a[size - 1] == b[size - 1]) {
        --size;
    }
    return size;
}

} // namespace tessaldrin::header
