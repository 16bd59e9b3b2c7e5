// A program file in a fresh directory, with a run log over a list of lines
// and the files that a run holds, for the tests of discovery, the plan,
// renaming and relinking.
#pragma once

#include "header/held_database_files.h"
#include "run/describer.h"
#include "run/discovery.h"
#include "run/executor.h"
#include "run/plan.h"
#include "tests/header/synthetic_page.h"
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
    header::HeldDatabaseFiles held;

    std::string ProgramPath() const { return (dir.path() / "tessaldrin-mover").string(); }
    std::string PathOf(const std::string& name) const { return dir.withSeparator() + name; }

    // Files of the given names, each holding its own name.
    void Touch(std::initializer_list<const char*> names) const {
        for (const char* name : names) {
            std::ofstream{dir.path() / name} << name;
        }
    }
    // A chain of header pages under `names`, the primary first, each linking
    // to the next under its name in the old directory /alt and numbered by
    // its place in the chain.
    void WriteChain(const std::vector<std::string>& names) const {
        for (std::size_t i = 0; i < names.size(); ++i) {
            SyntheticPage page;
            page.Sequence(static_cast<std::uint16_t>(i));
            if (i + 1 < names.size()) {
                page.Entry(3, "/alt/" + names[i + 1]);
            }
            WriteFile(dir.path() / names[i], page.Text());
        }
    }

    DatabaseFiles Find() { return FindDatabaseFiles(ProgramPath(), log); }
    // The plan of a run on `files`, held as a run holds them.
    RunPlan Plan(DatabaseFiles files) {
        held.Take(files.FileList);
        return PlanAdjustment(RunMode::kTessaldrin, std::move(files), held);
    }
    RunPlan Plan() { return Plan(Find()); }

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
