// A synthetic chain of database files in the ODS 11 form, one header page
// each: every file's continuation entry names the next file in OLD_DIR, the
// last file has none, and each page holds its file's place in the chain (the
// run refuses a file whose sequence differs). Names: Tessaldrin.GDB, then
// Tessaldrin_0001.GDB and on, so that name order is chain order.
//   bench-make-chain DIR COUNT OLD_DIR [PAGE_SIZE]
#include "header/header_page.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace tessaldrin::header;

constexpr std::uint16_t kOds11 = 11;
constexpr std::uint16_t kOds11Checksum = 12345;

std::string NameOf(int index) {
    if (index == 0) {
        return "Tessaldrin.GDB";
    }
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04d", index);
    return std::string("Tessaldrin_") + digits + ".GDB";
}

void Put(std::vector<std::uint8_t>& page, Field field, std::uint32_t value) {
    for (std::size_t i = 0; i < field.width; ++i) {
        page.at(field.offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// The header page of a file whose continuation is `next` (none when empty).
std::vector<std::uint8_t> HeaderPage(std::size_t pageSize, std::uint16_t sequence,
                                     const std::string& next) {
    const HeaderForm form = *FormOf(kOds11);
    std::vector<std::uint8_t> page(pageSize, 0);
    Put(page, kPageTypeField, static_cast<std::uint8_t>(kHeaderPageType));
    Put(page, kChecksumField, kOds11Checksum);
    Put(page, kPageSizeField, static_cast<std::uint32_t>(pageSize));
    Put(page, kOdsVersionField, kOds11);
    Put(page, kFileSequenceField, sequence);
    std::size_t at = form.dataStart;
    if (!next.empty()) {
        page.at(at) = form.continuationType;
        page.at(at + 1) = static_cast<std::uint8_t>(next.size());
        for (std::size_t i = 0; i < next.size(); ++i) {
            page.at(at + 2 + i) = static_cast<std::uint8_t>(next[i]);
        }
        at += 2 + next.size();
    }
    page.at(at) = kEndMarkerType;
    Put(page, kEntriesEndField, static_cast<std::uint32_t>(at));
    return page;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s DIR COUNT OLD_DIR [PAGE_SIZE]\n", argv[0]);
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    const int count = std::atoi(argv[2]);
    const std::string oldDir = std::string(argv[3]) + "/";
    const std::size_t pageSize = argc > 4 ? std::strtoul(argv[4], nullptr, 10) : 8192;
    if (count < 1 || count > 9999 || !IsAcceptedPageSize(static_cast<std::uint32_t>(pageSize)) ||
        oldDir.size() + NameOf(count).size() > 255) {
        std::fprintf(stderr, "bench-make-chain: bad count, page size or directory\n");
        return 2;
    }
    for (int i = 0; i < count; ++i) {
        const std::string next = i + 1 < count ? oldDir + NameOf(i + 1) : std::string{};
        const auto page = HeaderPage(pageSize, static_cast<std::uint16_t>(i), next);
        std::ofstream out(dir + NameOf(i), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(page.data()),
                  static_cast<std::streamsize>(page.size()));
        if (!out) {
            std::fprintf(stderr, "bench-make-chain: cannot write %s\n", (dir + NameOf(i)).c_str());
            return 1;
        }
    }
    return 0;
}
