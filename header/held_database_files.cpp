#include "header/held_database_files.h"

#include <algorithm>

namespace tessaldrin::header {

bool HeldDatabaseFiles::Take(const std::vector<std::string>& files) {
    Release();
    for (const std::string& file : files) {
        Add(file);
    }
    return HoldsAll();
}

platform::LockedFile* HeldDatabaseFiles::Add(const std::string& file) {
    files_.push_back(platform::LockedFile::Open(file, &failures_.emplace_back()));
    return At(files_.size() - 1);
}

void HeldDatabaseFiles::Release() {
    files_.clear();
    failures_.clear();
}

bool HeldDatabaseFiles::HoldsAll() const {
    return std::all_of(files_.begin(), files_.end(),
                       [](const auto& file) { return file.has_value(); });
}

platform::LockedFile* HeldDatabaseFiles::At(std::size_t index) {
    return index < files_.size() && files_[index] ? &*files_[index] : nullptr;
}

std::optional<platform::OpenFailure> HeldDatabaseFiles::FailureAt(std::size_t index) const {
    if (index < files_.size() && !files_[index]) {
        return failures_[index];
    }
    return std::nullopt;
}

} // namespace tessaldrin::header
