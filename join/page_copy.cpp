#include "join/page_copy.h"

#include "join/held_file_io.h"

#include <algorithm>
#include <memory>
#include <new>

namespace tessaldrin::join {
namespace {

// Aligned as the system's pages are, as a buffer of large transfers likes.
constexpr std::align_val_t kBufferAlignment{4096};

struct AlignedFree {
    void operator()(std::uint8_t* bytes) const { ::operator delete[](bytes, kBufferAlignment); }
};
using Buffer = std::unique_ptr<std::uint8_t[], AlignedFree>;

Buffer NewBuffer() {
    return Buffer(static_cast<std::uint8_t*>(::operator new[](kCopyChunk, kBufferAlignment)));
}

bool AllZero(const std::uint8_t* page, std::size_t size) {
    return std::all_of(page, page + size, [](std::uint8_t byte) { return byte == 0; });
}

// The first page of `pages` pages from logical page `first` that holds
// another number than its own.
std::optional<PageCopy> MisplacedPage(const std::uint8_t* chunk, std::size_t pages,
                                      std::uint64_t first, std::size_t pageSize) {
    for (std::size_t i = 0; i < pages; ++i) {
        const std::uint8_t* page = chunk + i * pageSize;
        const std::uint32_t holds = header::PageNumber(page);
        if (holds != first + i && !AllZero(page, pageSize)) {
            return PageCopy{PageCopy::Outcome::kPageMisplaced, 0,
                            static_cast<std::uint32_t>(first + i), holds};
        }
    }
    return std::nullopt;
}

} // namespace

PageCopy CopyPages(JoinPlan& plan, std::size_t file, const CopyProceed& proceed) {
    JoinFile& source = plan.files[file];
    platform::LockedFile& primary = plan.files[0].file;
    const std::size_t pageSize = plan.pageSize;
    const std::uint64_t bytes = plan.DataPages(file) * pageSize;
    const Buffer buffer = NewBuffer();
    PageCopy copy;
    // Behind the secondary's own header page; to its place in the primary.
    const std::uint64_t from = pageSize;
    const std::uint64_t to = std::uint64_t{source.firstPage} * pageSize;
    while (copy.copied < bytes) {
        const std::size_t count =
            static_cast<std::size_t>(std::min<std::uint64_t>(kCopyChunk, bytes - copy.copied));
        if (!ReadFully(source.file, from + copy.copied, buffer.get(), count)) {
            copy.outcome = PageCopy::Outcome::kReadFailed;
            return copy;
        }
        if (plan.form.pagesKeepNumber) {
            if (auto misplaced =
                    MisplacedPage(buffer.get(), count / pageSize,
                                  source.firstPage + copy.copied / pageSize, pageSize)) {
                misplaced->copied = copy.copied;
                return *misplaced;
            }
        }
        if (!WriteFully(primary, to + copy.copied, buffer.get(), count)) {
            copy.outcome = PageCopy::Outcome::kWriteFailed;
            return copy;
        }
        copy.copied += count;
        if (!proceed(copy.copied)) {
            copy.outcome = PageCopy::Outcome::kStopped;
            return copy;
        }
    }
    return copy;
}

} // namespace tessaldrin::join
