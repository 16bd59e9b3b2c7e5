// Header pages laid out byte by byte by the tests themselves, after the
// engine's on-disk structure, and files on disk that begin with them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tessaldrin::testing {

class SyntheticPage {
public:
    // A page of `pageSize` bytes: page type 1, the page size at 16, the ODS
    // version word at 18, the checksum 12345 that every engine since ODS 8
    // stores; entries from `dataStart` (96 for the classic form).
    explicit SyntheticPage(std::size_t pageSize = 1024, std::uint16_t odsVersion = 10,
                           std::size_t dataStart = 96);

    SyntheticPage& Set8(std::size_t offset, std::uint8_t value);
    SyntheticPage& Set16(std::size_t offset, std::uint16_t value);
    SyntheticPage& Set32(std::size_t offset, std::uint32_t value);
    std::uint16_t Get16(std::size_t offset) const;
    // The file's place in its chain (hdr_sequence): 0 for the primary file.
    SyntheticPage& Sequence(std::uint16_t place) { return Set16(40, place); }

    // Gives every byte of the fixed part that the editor does not interpret
    // (all but the page type, checksum, page size, ODS version, next header
    // page, implementation and end offset fields) a value other than zero,
    // so that a rebuilt page that drops any of them shows it.
    SyntheticPage& FillFixedPart();

    // Appends an entry (type, length, data) behind the ones before.
    SyntheticPage& Entry(std::uint8_t type, const std::string& data);
    // Appends opaque entries of `type` until the next entry would go at `end`.
    SyntheticPage& FillTo(std::size_t end, std::uint8_t type = 9);
    // The offset where the next entry would go.
    std::size_t End() const { return end_; }
    // Stores the end offset in the engine's field at 66.
    SyntheticPage& MarkEnd() { return Set16(66, static_cast<std::uint16_t>(end_)); }

    // The low 16 bits of the sum of the page's 32-bit words with the checksum
    // field taken as 0, computed here independently of the code under test.
    std::uint16_t Sum() const;
    SyntheticPage& StoreChecksum(std::uint16_t value) { return Set16(2, value); }

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    std::string Text() const { return {bytes_.begin(), bytes_.end()}; }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t dataStart_;
    std::size_t end_;
};

// A fresh directory under /tmp, removed with its contents.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Writes `bytes` to `file`, replacing it.
void WriteFile(const std::filesystem::path& file, const std::string& bytes);

} // namespace tessaldrin::testing
