// The entries of a header page that place its file in a multi-file chain (the
// name of the next file and the last logical page of this one) read as values,
// and the primary's header page rebuilt without them: the header page of the
// same database as a single file.
#pragma once

#include "header/header_page.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tessaldrin::header {

struct ChainEntries {
    enum class Outcome {
        kRead,
        kOverrun,      // an entry runs past the page end
        kRepeated,     // a second continuation or last-page entry
        kBadLastPage,  // a last-page entry whose data is not kLastPageWidth bytes
        kEndMisplaced, // the engine's end offset does not point at the end marker
    };
    Outcome outcome = Outcome::kRead;
    // kRead: what the page holds, each where it has one.
    std::optional<std::string_view> continuation;
    std::optional<std::uint32_t> lastPage;
    bool rootFileName = false; // a shadow's entry naming the database it shadows
};

// Walks the whole entry list of `page`; never reads a byte beyond it.
ChainEntries ReadChainEntries(const PageView& page);

// Lays out in `out` (page.size bytes) the page `page` without its
// continuation and last-page entries, which ReadChainEntries read from it:
// the entries behind them moved up in their order, the bytes they leave at
// the end of the list zero, the engine's end offset at the new end marker,
// the checksum by the form's rule. Every other byte is the page's own.
// `out` is another image than page.bytes.
void BuildSingleFileHeader(const PageView& page, std::uint8_t* out);

// The least n such that `a` and `b` agree from byte n on: every byte in
// which they differ lies in the first n of their `size` bytes.
std::size_t ChangedExtent(const std::uint8_t* a, const std::uint8_t* b, std::size_t size);

} // namespace tessaldrin::header
