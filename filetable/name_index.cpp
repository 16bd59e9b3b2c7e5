#include "filetable/name_index.h"

#include "platform/compare_string.h"

namespace tessaldrin::filetable {

void NameIndex::Add(const std::string& dir, const std::string& name) {
    exact_.emplace(dir, name);
    const auto [place, added] = folded_.emplace(std::pair(dir, platform::FoldCase(name)), name);
    if (!added && place->second != name) {
        place->second.reset(); // two spellings: neither is the one meant
    }
}

std::optional<std::string> NameIndex::Spelling(const std::string& dir,
                                               const std::string& name) const {
    if (exact_.count({dir, name}) != 0) {
        return name;
    }
    const auto match = folded_.find({dir, platform::FoldCase(name)});
    return match == folded_.end() ? std::nullopt : match->second;
}

bool NameIndex::Holds(const std::string& dir, const std::string& name) const {
    return folded_.count({dir, platform::FoldCase(name)}) != 0;
}

} // namespace tessaldrin::filetable
