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
    return At({files_.size() - 1});
}

void HeldDatabaseFiles::Release() {
    files_.clear();
    failures_.clear();
}

bool HeldDatabaseFiles::HoldsAll() const {
    return std::all_of(files_.begin(), files_.end(),
                       [](const auto& file) { return file.has_value(); });
}

platform::LockedFile* HeldDatabaseFiles::At(FileIndex file) {
    return file.value < files_.size() && files_[file.value] ? &*files_[file.value] : nullptr;
}

std::optional<platform::OpenFailure> HeldDatabaseFiles::FailureAt(FileIndex file) const {
    if (file.value < files_.size() && !files_[file.value]) {
        return failures_[file.value];
    }
    return std::nullopt;
}

bool HeldDatabaseFiles::Rename(FileIndex file, const std::string& to) {
    platform::LockedFile* held = At(file);
    return held != nullptr && held->MoveTo(to);
}

} // namespace tessaldrin::header
