// An adjustment whose program file lies in a fresh directory, with a run log
// over a list of lines, for the tests of discovery, renaming and relinking.
#pragma once

#include "app/adjustment.h"
#include "tests/support/firebird_fixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

namespace tessaldrin::testing {

struct AdjustmentInDir {
    // A dot in the directory's name, so that every test here sees that it
    // starts no extension.
    ServerDir dir{"tm-adjust.d"};
    ListRunLog log;
    Adjustment adjustment{log, (dir.path() / "tessaldrin-mover").string()};

    std::string PathOf(const std::string& name) const { return dir.withSeparator() + name; }

    // Files of the given names, each holding its own name.
    void Touch(std::initializer_list<const char*> names) const {
        for (const char* name : names) {
            std::ofstream{dir.path() / name} << name;
        }
    }

    // The names in the directory, sorted by bytes.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

} // namespace tessaldrin::testing
