#include "join/join_journal.h"

#include <charconv>
#include <optional>

namespace tessaldrin::join {
namespace {

constexpr std::string_view kFirstLine = "Tessaldrin-Mover join journal 1";
constexpr std::string_view kLastLine = "end";
constexpr std::string_view kPageSizeKey = "page-size ";
constexpr std::string_view kPrimarySizeKey = "primary-size ";
constexpr std::string_view kOldSectorKey = "old-sector ";
constexpr std::string_view kNewSectorKey = "new-sector ";
constexpr std::string_view kPrimaryKey = "primary ";
constexpr std::string_view kSecondaryKey = "secondary ";
constexpr char kDigits[] = "0123456789abcdef";

std::string Hex(std::string_view bytes) {
    std::string hex;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0xF];
    }
    return hex;
}

std::optional<std::string> Unhex(std::string_view hex) {
    if (hex.size() % 2 != 0) {
        return std::nullopt;
    }
    std::string bytes;
    for (std::size_t at = 0; at < hex.size(); at += 2) {
        unsigned value = 0;
        const auto [end, error] = std::from_chars(hex.data() + at, hex.data() + at + 2, value, 16);
        if (error != std::errc{} || end != hex.data() + at + 2) {
            return std::nullopt;
        }
        bytes += static_cast<char>(value);
    }
    return bytes;
}

// The text behind `key` at the start of `line`.
std::optional<std::string_view> After(std::string_view line, std::string_view key) {
    if (line.substr(0, key.size()) != key) {
        return std::nullopt;
    }
    return line.substr(key.size());
}

// A decimal or hexadecimal number that is the whole of `text`.
template <typename Number> std::optional<Number> NumberOf(std::string_view text, int base = 10) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// The journal's lines, one at a time.
class Lines {
public:
    explicit Lines(std::string_view text) : rest_(text) {}
    std::optional<std::string_view> Next() {
        const auto end = rest_.find('\n');
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view line = rest_.substr(0, end);
        rest_.remove_prefix(end + 1);
        return line;
    }
    bool AtEnd() const { return rest_.empty(); }

private:
    std::string_view rest_;
};

std::optional<std::string> Sector(std::optional<std::string_view> line, std::string_view key) {
    const auto hex = line ? After(*line, key) : std::nullopt;
    auto bytes = hex ? Unhex(*hex) : std::nullopt;
    return bytes && bytes->size() == kCommitSectorSize ? bytes : std::nullopt;
}

// "SIZE DIGEST PATH"
std::optional<JoinJournal::Secondary> SecondaryOf(std::string_view fields) {
    const auto sizeEnd = fields.find(' ');
    const auto digestEnd = fields.find(' ', sizeEnd == fields.npos ? sizeEnd : sizeEnd + 1);
    if (digestEnd == fields.npos) {
        return std::nullopt;
    }
    const auto size = NumberOf<std::uint64_t>(fields.substr(0, sizeEnd));
    const auto digest =
        NumberOf<std::uint64_t>(fields.substr(sizeEnd + 1, digestEnd - sizeEnd - 1), 16);
    const std::string_view path = fields.substr(digestEnd + 1);
    if (!size || !digest || path.empty()) {
        return std::nullopt;
    }
    return JoinJournal::Secondary{std::string(path), *size, *digest};
}

std::optional<JoinJournal> Parse(Lines& lines) {
    JoinJournal journal;
    const auto line = [&lines](std::string_view key) {
        const auto next = lines.Next();
        return next ? After(*next, key) : std::nullopt;
    };
    const auto pageSize = line(kPageSizeKey);
    const auto primarySize = line(kPrimarySizeKey);
    auto oldSector = Sector(lines.Next(), kOldSectorKey);
    auto newSector = Sector(lines.Next(), kNewSectorKey);
    const auto primary = line(kPrimaryKey);
    if (!pageSize || !primarySize || !oldSector || !newSector || !primary || primary->empty()) {
        return std::nullopt;
    }
    const auto pageSizeValue = NumberOf<std::uint32_t>(*pageSize);
    const auto primarySizeValue = NumberOf<std::uint64_t>(*primarySize);
    if (!pageSizeValue || !primarySizeValue) {
        return std::nullopt;
    }
    journal = {std::string(*primary), *primarySizeValue,     *pageSizeValue,
               std::move(*oldSector), std::move(*newSector), {}};
    for (auto next = lines.Next(); next; next = lines.Next()) {
        if (*next == kLastLine) {
            return lines.AtEnd() && !journal.secondaries.empty() ? std::optional(journal)
                                                                 : std::nullopt;
        }
        const auto fields = After(*next, kSecondaryKey);
        const auto secondary = fields ? SecondaryOf(*fields) : std::nullopt;
        if (!secondary) {
            return std::nullopt;
        }
        journal.secondaries.push_back(*secondary);
    }
    return std::nullopt;
}

} // namespace

std::string JournalText(const JoinJournal& journal) {
    std::string text;
    const auto line = [&text](std::string_view key, const std::string& value) {
        text.append(key).append(value) += '\n';
    };
    text.append(kFirstLine) += '\n';
    line(kPageSizeKey, std::to_string(journal.pageSize));
    line(kPrimarySizeKey, std::to_string(journal.primarySize));
    line(kOldSectorKey, Hex(journal.oldSector));
    line(kNewSectorKey, Hex(journal.newSector));
    line(kPrimaryKey, journal.primary);
    for (const auto& secondary : journal.secondaries) {
        char digest[17] = {};
        std::to_chars(digest, digest + 16, secondary.headerDigest, 16);
        std::string fields = std::to_string(secondary.size);
        fields.append(" ").append(digest).append(" ").append(secondary.path);
        line(kSecondaryKey, fields);
    }
    text.append(kLastLine) += '\n';
    return text;
}

JournalReading ReadJournal(std::string_view text) {
    // The journal is written in one piece and synced before anything else
    // changes; one without its closing line was cut short while it was
    // written (a crash may leave it empty, or its blocks zero), and nothing
    // else changed.
    const std::string_view written = text.substr(0, text.find_last_not_of('\0') + 1);
    const std::string first = std::string(kFirstLine).append("\n");
    if (written.size() < first.size()) {
        return {first.substr(0, written.size()) == written ? JournalReading::Outcome::kCutShort
                                                           : JournalReading::Outcome::kForeign,
                {}};
    }
    Lines lines(text);
    if (lines.Next() != kFirstLine) {
        return {JournalReading::Outcome::kForeign, {}};
    }
    const std::string closing = std::string("\n").append(kLastLine).append("\n");
    if (text.size() < closing.size() || text.substr(text.size() - closing.size()) != closing) {
        return {JournalReading::Outcome::kCutShort, {}};
    }
    auto journal = Parse(lines);
    if (!journal) {
        return {JournalReading::Outcome::kForeign, {}};
    }
    return {JournalReading::Outcome::kComplete, std::move(*journal)};
}

std::string JournalPathFor(const std::string& primary) {
    return primary + ".join-journal";
}

std::string AsideNameFor(const std::string& secondary) {
    return secondary + ".joined";
}

// FNV-1a, 64 bits.
std::uint64_t HeaderDigest(const std::uint8_t* page, std::size_t size) {
    std::uint64_t digest = 0xcbf29ce484222325u;
    for (std::size_t at = 0; at < size; ++at) {
        digest = (digest ^ page[at]) * 0x100000001b3u;
    }
    return digest;
}

} // namespace tessaldrin::join
