#include "tests/integration/relink_moved_database.h"

#include "platform/format_message.h"
#include "tests/support/plan_steps.h"

namespace fs = std::filesystem;

namespace tessaldrin::testing {

MovedDatabase::MovedDatabase(const std::vector<std::string>& names, int rows) {
    const fs::path oldDir = dir_.makeSubdir("alt");
    newDir_ = dir_.makeSubdir("neu");
    for (const std::string& name : names) {
        layout_.files.push_back(oldDir / name);
    }
    layout_.rows = rows;
    CreateDatabase(layout_);
}

RunPlan MovedDatabase::Plan() {
    DatabaseFiles files = FindDatabaseFiles((newDir_ / "tessaldrin-mover").string(), log);
    held.Take(files.FileList);
    return PlanAdjustment(RunMode::kTessaldrin, std::move(files), held);
}

std::optional<std::size_t> MovedDatabase::Rename(const RunPlan& plan) {
    if (!MakeStep<tessaldrin::Rename>(plan, held, log)) {
        return std::nullopt;
    }
    return log.Lines.size();
}

std::string Refused(const std::string& file, const std::string& reason) {
    return platform::Format(msg::kError, platform::Format(msg::kFileRefused, file, reason));
}

std::vector<std::string> MovedDatabase::Contents(const std::vector<std::string>& paths) const {
    std::vector<std::string> contents;
    for (const std::string& path : paths) {
        contents.push_back(ReadBytes(path));
    }
    return contents;
}

bool OpenInThisProcess(const std::string& path) {
    for (const auto& fd : fs::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (fs::read_symlink(fd.path(), error) == path) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> RelinkedFileLines(const std::string& file, const std::string& oldLink,
                                           const std::string& newLink) {
    if (oldLink.empty()) {
        return {platform::Format(msg::kProcessingFile, file), platform::Format(msg::kLastFile), ""};
    }
    return {platform::Format(msg::kProcessingFile, file),
            platform::Format(msg::kContinuationFile, oldLink),
            platform::Format(msg::kLinkChanged, oldLink, newLink), ""};
}

} // namespace tessaldrin::testing
