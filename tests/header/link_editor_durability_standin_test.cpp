// The editor's write of a header page, over a stand-in of the system calls
// beneath its file layer (a real disk does not fail a sync or return other
// bytes than it was given on demand). The file itself is real.
#include "header/planned_page.h"
#include "platform/termination_signals.h"
#include "run/executor.h"
#include "tests/header/editor_fixture.h"
#include "tests/header/file_layer_standin.h"

#include <atomic>
#include <chrono>
#include <thread>

using namespace tessaldrin::testing;
using file_layer::Call;
using file_layer::Fault;
using file_layer::Record;

namespace {

constexpr std::size_t kSize = 4096;

SyntheticPage LinkPage(const std::string& link) {
    SyntheticPage page(kSize, 10);
    page.FillFixedPart().Entry(1, "root").Entry(3, link).Entry(8, "tail");
    return page.MarkEnd();
}

const std::string kOld = "E:\\Alt\\Tessaldrin_1.GDB";
const std::string kNew = "/srv/neu/Tessaldrin_1.TDB";

} // namespace

using LinkEditorOverAFileLayerStandIn = EditorTest;

// The page is read again while no other process has the file open, written
// in one write, reaches the disk, and is read back, all before the change
// reports success.
TEST_F(LinkEditorOverAFileLayerStandIn, SyncsAndReadsBackTheWrittenPageBeforeReportingSuccess) {
    WriteFile(file, LinkPage(kOld).Text());
    file_layer::Watch(file);
    ASSERT_TRUE(Prepare(LinkPage(kOld)));
    editor.ReadContinuationLink(log);
    EXPECT_TRUE(ChangeLink(kNew));
    EXPECT_EQ(file_layer::Records(),
              (std::vector<Record>{{Call::kRead, 0, 1024, {}},
                                   {Call::kRead, 0, kSize, {}},
                                   {Call::kRead, 0, kSize, {}},
                                   {Call::kWrite, 0, kSize, LinkPage(kNew).Text()},
                                   {Call::kSync, 0, 0, {}},
                                   {Call::kRead, 0, kSize, {}}}));
    EXPECT_EQ(FileBytes(), LinkPage(kNew).Text());
}

// Whichever step of the write fails, the change fails with its error line,
// the page as read is written back and synced, and the file is as it was.
TEST_F(LinkEditorOverAFileLayerStandIn, WritesThePageAsReadBackWhenAnyStepOfTheWriteFails) {
    struct Case {
        const char* what;
        Call call;
        int occurrence;
        Fault fault;
    };
    const Case cases[] = {
        {"the write fails", Call::kWrite, 1, Fault::kFail},
        {"the write is short", Call::kWrite, 1, Fault::kShorten},
        {"the disk stores other bytes", Call::kWrite, 1, Fault::kAlter},
        {"the sync fails", Call::kSync, 1, Fault::kFail},
        {"the read-back fails", Call::kRead, 4, Fault::kFail},
        {"the read-back is short", Call::kRead, 4, Fault::kShorten},
        {"the page reads back different", Call::kRead, 4, Fault::kAlter},
    };
    for (const Case& c : cases) {
        WriteFile(file, LinkPage(kOld).Text());
        file_layer::Watch(file);
        file_layer::Inject(c.call, c.occurrence, c.fault);
        ASSERT_TRUE(Prepare(LinkPage(kOld))) << c.what;
        editor.ReadContinuationLink(log);
        EXPECT_FALSE(ChangeLink(kNew)) << c.what;
        EXPECT_EQ(log.Lines.back(), lines::Error(lines::kCannotWrite)) << c.what;
        const auto records = file_layer::Records();
        // The page as read is written back, synced and read back whole.
        ASSERT_GE(records.size(), 3u) << c.what;
        EXPECT_EQ(records[records.size() - 3],
                  (Record{Call::kWrite, 0, kSize, LinkPage(kOld).Text()}))
            << c.what;
        EXPECT_EQ(records[records.size() - 2], (Record{Call::kSync, 0, 0, {}})) << c.what;
        EXPECT_EQ(records.back().call, Call::kRead) << c.what;
        EXPECT_EQ(FileBytes(), LinkPage(kOld).Text()) << c.what;
        editor.CloseDatabaseFile(log);
    }
}

// The write stops part-way and the write-back of the page as read fails too:
// the page on disk is part new, part old, and the line says that it may be
// damaged, not that it was restored.
TEST_F(LinkEditorOverAFileLayerStandIn, SaysWhenTheTornPageCouldNotBeRestored) {
    WriteFile(file, LinkPage(kOld).Text());
    file_layer::Watch(file);
    file_layer::Inject(Call::kWrite, 1, Fault::kShorten);
    file_layer::Inject(Call::kWrite, 2, Fault::kFail);
    ASSERT_TRUE(Prepare(LinkPage(kOld)));
    editor.ReadContinuationLink(log);
    EXPECT_FALSE(ChangeLink(kNew));
    EXPECT_EQ(log.Lines.back(), lines::Error(lines::kNotRestored));
    const std::string torn = FileBytes();
    EXPECT_EQ(torn.substr(0, kSize - 1), LinkPage(kNew).Text().substr(0, kSize - 1));
    EXPECT_EQ(torn.back(), LinkPage(kOld).Text().back());
}

// A SIGTERM that arrives in the middle of the relinking pass's write takes
// effect only once the page is written, synced and read back, with the line
// that says so in the log, and the pass knows which page it wrote last.
TEST_F(LinkEditorOverAFileLayerStandIn, ASignalDuringThePassesWriteActsOnlyOnceThePageIsDone) {
    WriteFile(file, LinkPage(kOld).Text());
    ASSERT_TRUE(held.Take({file.string()}));
    tessaldrin::header::PlannedPage page{{0}, file.string(), file.string(), {}, {}, {}, kNew, {}};
    tessaldrin::ListRunLog planning;
    ASSERT_TRUE(editor.OpenDatabaseFile(planning, file.string(), held.At({0})) &&
                editor.ReadHeaderPage(planning) && editor.CheckHeaderPage(planning));
    ASSERT_FALSE(tessaldrin::header::PlanNewPage(editor, page));
    editor.CloseDatabaseFile(planning);

    tessaldrin::platform::WatchTerminationSignals();
    std::atomic<std::size_t> callsWhenActed{0};
    std::atomic<std::size_t> linesWhenActed{0};
    tessaldrin::platform::SetTerminationAction([&](int) {
        linesWhenActed = log.Lines.size();
        callsWhenActed = file_layer::CallCount();
    });
    file_layer::Watch(file);
    file_layer::Inject(Call::kWrite, 1, Fault::kSignal);
    tessaldrin::header::RelinkProgress progress;
    tessaldrin::RunPlan plan;
    plan.changes = {page};
    tessaldrin::Execution with;
    with.progress = &progress;
    EXPECT_EQ(tessaldrin::Execute(plan, held, log, with), tessaldrin::RunOutcome::kAdjusted);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (callsWhenActed == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    tessaldrin::platform::SetTerminationAction({});

    // The page read again to see that it is the one planned, and once more
    // while no other process has the file open, then the write, the sync and
    // the read-back: all six before the action.
    EXPECT_EQ(file_layer::CallCount(), 6u);
    EXPECT_EQ(callsWhenActed.load(), 6u);
    EXPECT_GE(linesWhenActed.load(), 4u); // the heading, the file, the changed link
    EXPECT_EQ(log.Lines[3], lines::Changed(kOld, kNew));
    EXPECT_EQ(progress.lastWritten, file.string());
    EXPECT_EQ(FileBytes(), LinkPage(kNew).Text());
}
