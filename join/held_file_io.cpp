#include "join/held_file_io.h"

#include "header/header_page.h"

namespace tessaldrin::join {
namespace {

template <typename Byte, typename Call>
bool WholeOf(Byte* buffer, std::size_t count, std::uint64_t offset, Call call) {
    while (count > 0) {
        const std::size_t done = call(offset, buffer, count);
        if (done == 0) {
            return false;
        }
        buffer += done;
        offset += done;
        count -= done;
    }
    return true;
}

} // namespace

bool ReadFully(platform::LockedFile& file, std::uint64_t offset, std::uint8_t* buffer,
               std::size_t count) {
    return WholeOf(buffer, count, offset,
                   [&file](auto at, auto* into, auto n) { return file.ReadAt(at, into, n); });
}

bool WriteFully(platform::LockedFile& file, std::uint64_t offset, const std::uint8_t* buffer,
                std::size_t count) {
    return WholeOf(buffer, count, offset, [&file](auto at, const auto* from, auto n) {
        return file.WriteAt(at, from, n);
    });
}

std::optional<std::vector<std::uint8_t>> ReadHeaderImage(platform::LockedFile& file) {
    std::vector<std::uint8_t> page(header::kMinPageSize);
    if (!ReadFully(file, 0, page.data(), page.size()) ||
        header::PageType(page.data()) != header::kHeaderPageType ||
        !header::IsAcceptedPageSize(header::PageSize(page.data()))) {
        return std::nullopt;
    }
    page.resize(header::PageSize(page.data()));
    if (!ReadFully(file, 0, page.data(), page.size())) {
        return std::nullopt;
    }
    return page;
}

} // namespace tessaldrin::join
