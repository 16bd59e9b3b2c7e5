// The editor at work on one file in a fresh directory, with its log.
#pragma once

#include "header/link_editor.h"
#include "runlog/run_log.h"
#include "tests/header/expected_lines.h"
#include "tests/header/synthetic_page.h"
#include "tests/support/firebird_fixture.h"

#include <gtest/gtest.h>

namespace tessaldrin::testing {

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        editor.CloseDatabaseFile(log);
        editor.DatabaseFileName = file.string();
        editor.OldLinkName = "left over from the file before";
        editor.NewLinkName.clear();
    }
    void TearDown() override { editor.CloseDatabaseFile(log); }

    // Writes `page` (followed by `tail`) as the file and opens, reads and
    // checks it; the log is emptied first.
    bool Prepare(const SyntheticPage& page, const std::string& tail = {}) {
        WriteFile(file, page.Text() + tail);
        log.Lines.clear();
        return editor.OpenDatabaseFile(log) && editor.ReadHeaderPage(log) &&
               editor.CheckHeaderPage(log);
    }

    // Prepares `page`, reads its link and changes it to `newName`; the log
    // holds what the read and the change wrote.
    bool Change(const SyntheticPage& page, const std::string& newName) {
        if (!Prepare(page)) {
            ADD_FAILURE() << "the page was refused before the change";
            return false;
        }
        editor.ReadContinuationLink(log);
        editor.NewLinkName = newName;
        return editor.ChangeContinuationLink(log);
    }

    std::string FileBytes() const { return ReadBytes(file); }

    TempDir dir;
    std::filesystem::path file = dir.path() / "Tessaldrin.GDB";
    ListRunLog log;
    header::LinkEditor editor;
};

} // namespace tessaldrin::testing
