// The editor at work on one file in a fresh directory, with its log, driven
// as a run drives it: the file held (opened and locked) first, then given to
// the editor under its name; a page rebuilt with its new link, then written.
#pragma once

#include "header/held_database_files.h"
#include "header/link_editor.h"
#include "platform/format_message.h"
#include "runlog/run_log.h"
#include "tests/header/expected_lines.h"
#include "tests/header/synthetic_page.h"
#include "tests/support/firebird_fixture.h"

#include <gtest/gtest.h>

namespace tessaldrin::testing {

// Holds `name` in place of whatever `held` held before, and opens it with
// `editor`, as a run opens the files it holds.
inline bool OpenHeld(header::LinkEditor& editor, header::HeldDatabaseFiles& held,
                     const std::string& name, RunLog& log) {
    held.Release();
    platform::LockedFile* file = held.Add(name);
    return editor.OpenDatabaseFile(log, name, file, held.FailureAt({0}));
}

// Rebuilds the page that `editor` has read and checked with `newName`, each
// rebuilt link shown as changed as a run shows it, and writes it.
inline bool ChangeLink(header::LinkEditor& editor, const std::string& newName, RunLog& log) {
    const auto pageSize =
        editor.ChangeContinuationLink(log, newName, [&](const std::string& oldLink) {
            log.append(platform::Format(msg::kLinkChanged, oldLink, newName));
        });
    return pageSize && editor.WritePage(log, editor.NewHeaderPage(), *pageSize);
}

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        editor.CloseDatabaseFile(log);
        editor.OldLinkName = "left over from the file before";
    }
    void TearDown() override { editor.CloseDatabaseFile(log); }

    // Holds `name` in place of the file held before, and opens it.
    bool Open(const std::string& name) { return OpenHeld(editor, held, name, log); }
    bool Open() { return Open(file.string()); }

    // Writes `page` (followed by `tail`) as the file and opens, reads and
    // checks it; the log is emptied first.
    bool Prepare(const SyntheticPage& page, const std::string& tail = {}) {
        WriteFile(file, page.Text() + tail);
        log.Lines.clear();
        return Open() && editor.ReadHeaderPage(log) && editor.CheckHeaderPage(log);
    }

    bool ChangeLink(const std::string& newName) {
        return testing::ChangeLink(editor, newName, log);
    }

    // Prepares `page`, reads its link and changes it to `newName`; the log
    // holds what the read and the change wrote.
    bool Change(const SyntheticPage& page, const std::string& newName) {
        if (!Prepare(page)) {
            ADD_FAILURE() << "the page was refused before the change";
            return false;
        }
        editor.ReadContinuationLink(log);
        return ChangeLink(newName);
    }

    std::string FileBytes() const { return ReadBytes(file); }

    TempDir dir;
    std::filesystem::path file = dir.path() / "Tessaldrin.GDB";
    ListRunLog log;
    header::HeldDatabaseFiles held;
    header::LinkEditor editor;
};

} // namespace tessaldrin::testing
