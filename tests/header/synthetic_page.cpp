#include "tests/header/synthetic_page.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tessaldrin::testing {

SyntheticPage::SyntheticPage(std::size_t pageSize, std::uint16_t odsVersion, std::size_t dataStart)
    : bytes_(pageSize, 0), dataStart_(dataStart), end_(dataStart) {
    Set8(0, 1);
    Set16(16, static_cast<std::uint16_t>(pageSize));
    Set16(18, odsVersion);
    StoreChecksum(12345);
}

SyntheticPage& SyntheticPage::Set8(std::size_t offset, std::uint8_t value) {
    bytes_.at(offset) = value;
    return *this;
}

SyntheticPage& SyntheticPage::Set16(std::size_t offset, std::uint16_t value) {
    Set8(offset, static_cast<std::uint8_t>(value));
    return Set8(offset + 1, static_cast<std::uint8_t>(value >> 8));
}

SyntheticPage& SyntheticPage::Set32(std::size_t offset, std::uint32_t value) {
    Set16(offset, static_cast<std::uint16_t>(value));
    return Set16(offset + 2, static_cast<std::uint16_t>(value >> 16));
}

std::uint16_t SyntheticPage::Get16(std::size_t offset) const {
    return static_cast<std::uint16_t>(bytes_.at(offset) | bytes_.at(offset + 1) << 8);
}

SyntheticPage& SyntheticPage::FillFixedPart() {
    struct Span {
        std::size_t from;
        std::size_t to; // one past the last byte
    };
    // The fields whose values the editor reads or writes itself.
    constexpr Span kInterpreted[] = {{0, 1}, {2, 4}, {16, 20}, {24, 28}, {60, 62}, {66, 68}};
    for (std::size_t offset = 0; offset < dataStart_; ++offset) {
        const bool interpreted =
            std::any_of(std::begin(kInterpreted), std::end(kInterpreted),
                        [&](Span span) { return offset >= span.from && offset < span.to; });
        if (!interpreted) {
            Set8(offset, static_cast<std::uint8_t>((offset * 29 + 7) % 255 + 1));
        }
    }
    return *this;
}

SyntheticPage& SyntheticPage::Entry(std::uint8_t type, const std::string& data) {
    if (data.size() > 255) {
        throw std::invalid_argument("an entry holds at most 255 bytes");
    }
    Set8(end_, type);
    Set8(end_ + 1, static_cast<std::uint8_t>(data.size()));
    for (std::size_t i = 0; i < data.size(); ++i) {
        Set8(end_ + 2 + i, static_cast<std::uint8_t>(data[i]));
    }
    end_ += 2 + data.size();
    return *this;
}

SyntheticPage& SyntheticPage::FillTo(std::size_t end, std::uint8_t type) {
    while (end_ < end) {
        const std::size_t room = end - end_;
        if (room < 2) {
            throw std::invalid_argument("no entry is a single byte long");
        }
        // Leave at least the two bytes of a further entry.
        const std::size_t length = room <= 257 ? room - 2 : std::min<std::size_t>(255, room - 4);
        Entry(type, std::string(length, 'f'));
    }
    return *this;
}

std::uint16_t SyntheticPage::Sum() const {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 4 <= bytes_.size(); i += 4) {
        const std::uint32_t word = i == 0 ? bytes_[0] | bytes_[1] << 8
                                          : bytes_[i] | bytes_[i + 1] << 8 | bytes_[i + 2] << 16 |
                                                static_cast<std::uint32_t>(bytes_[i + 3]) << 24;
        sum += word;
    }
    return static_cast<std::uint16_t>(sum);
}

TempDir::TempDir() {
    std::string pattern = "/tmp/tm-header-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary directory");
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + file.string());
    }
}

} // namespace tessaldrin::testing
