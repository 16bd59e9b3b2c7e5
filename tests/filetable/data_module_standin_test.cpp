// The data module's calls into the client library, through the stand-in
// library: the success path of the file table rewrite needs a server that
// accepts updates of RDB$FILES, which no Firebird 3 or later does, and the
// failing fetch or commit, the duplicate sequence and the dialect of an old
// database cannot be produced on the real server here.
#include "filetable/dm_files.h"
#include "platform/format_message.h"
#include "tests/filetable/standin_fbclient/standin_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace tessaldrin;
using filetable::ClientError;
using filetable::TdmFiles;
using standin::Row;

namespace {

const std::string kHeading = "Ändere File-Tabelle:";

std::string Hex(const std::vector<unsigned char>& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string text;
    for (unsigned char b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 0xF];
    }
    return text;
}

std::vector<unsigned char> Block(std::initializer_list<unsigned char> head, const std::string& user,
                                 const std::string& password) {
    std::vector<unsigned char> block(head);
    block.push_back(28); // user name
    block.push_back(static_cast<unsigned char>(user.size()));
    block.insert(block.end(), user.begin(), user.end());
    block.push_back(29); // password
    block.push_back(static_cast<unsigned char>(password.size()));
    block.insert(block.end(), password.begin(), password.end());
    block.insert(block.end(), {57, 4, 15, 0, 0, 0}); // connect timeout, 15 s
    return block;
}

const std::string kSelect = "select * from RDB$Files order by rdb$file_sequence";
const std::string kUpdate = "update RDB$Files\n"
                            "set\n"
                            "  RDB$FILE_NAME = ?,\n"
                            "  RDB$FILE_SEQUENCE = ?,\n"
                            "  RDB$FILE_START = ?,\n"
                            "  RDB$FILE_LENGTH = ?,\n"
                            "  RDB$FILE_FLAGS = ?,\n"
                            "  RDB$SHADOW_NUMBER = ?\n"
                            "where\n"
                            "  RDB$FILE_SEQUENCE = ?";

std::string Changed(const std::string& from, const std::string& to) {
    return "RDB$Files: RDB$FILE_NAME geändert von \"" + from + "\" zu \"" + to + "\"";
}

bool Contains(const std::vector<std::string>& lines, const std::string& prefix) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
}

class DataModuleStandIn : public ::testing::Test {
protected:
    void SetUp() override { standin::Reset(); }

    // The rewrite of the table of the database whose files are `files`,
    // primary first, with every row named after its own name in `dir`.
    filetable::FileTableOutcome ChangeFileTable(const std::vector<std::string>& files, RunLog* to) {
        const filetable::FileTableChange change{
            files.empty() ? std::string{} : files.front(), files.size(),
            filetable::TargetNaming(filetable::TargetNaming::Rule::kTessaldrin, dir, files)};
        return dm.ChangeFileTable(port, change, to);
    }
    bool Changes(const std::vector<std::string>& files, RunLog* to) {
        return ChangeFileTable(files, to) == filetable::FileTableOutcome::kChanged;
    }

    // The journal from the first call of `entryPoint` on.
    static std::vector<std::string> JournalFrom(const std::string& entryPoint) {
        auto journal = standin::Journal();
        const auto at = std::find_if(journal.begin(), journal.end(), [&](const std::string& l) {
            return l.rfind(entryPoint, 0) == 0;
        });
        return {at, journal.end()};
    }

    TdmFiles dm{STANDIN_FBCLIENT};
    std::string dir = "/srv/neu/";
    std::int32_t port = 3050;
    ListRunLog log;
    const std::vector<std::string> threeFiles{
        "/srv/neu/Tessaldrin.TDB", "/srv/neu/Tessaldrin_1.TDB", "/srv/neu/Tessaldrin_2.TDB"};
    const std::vector<Row> twoRows{
        {"E:\\Alt\\Tessaldrin_1.GDB", 1, 301, 300, 0, 0},
        {"E:\\Alt\\Tessaldrin_2.GDB", 2, 601, std::nullopt, std::nullopt, std::nullopt},
    };
};

} // namespace

TEST_F(DataModuleStandIn, CheckServerSendsItsOwnUserNameToTheServiceManagerAndLeavesNothingOpen) {
    const std::pair<std::int32_t, std::string> ports[] = {{3050, "localhost:service_mgr"},
                                                          {30500, "localhost/30500:service_mgr"},
                                                          {0, "localhost/0:service_mgr"}};
    const std::string spb = Hex(Block({2, 2}, "MasterQuill", "KvomT"));
    ASSERT_EQ(spb.size(), 2u * 28u);
    for (const auto& [port, service] : ports) {
        standin::Reset();
        log.Lines.clear();
        EXPECT_TRUE(dm.CheckServer(port, &log));
        EXPECT_EQ(standin::Journal(), (std::vector<std::string>{
                                          "isc_service_attach " + service + " spb=" + spb,
                                          "isc_service_detach",
                                      }));
        EXPECT_EQ(log.Lines, std::vector<std::string>{
                                 "Datenbankmanagementsystem (Interbase / Firebird) vorhanden"});
        EXPECT_EQ(dm.IBServerProperties.ServerName, service.substr(0, service.find(':')));
        EXPECT_EQ(standin::OpenHandles(), 0);
    }
}

TEST_F(DataModuleStandIn, CheckServerReportsAFailedAttachOrDetachAsOneEntry) {
    const std::string prefix =
        "Die Verbindung zum InterBase / FireBird-Server konnte nicht hergestellt werden: ";
    standin::FailCall(
        "isc_service_attach", 1,
        {"Your user name and password are not defined.", "Ask your database administrator."});
    EXPECT_FALSE(dm.CheckServer(port, &log));
    // The place asked follows the library's text, in the same entry.
    const std::string asked =
        "\r\nServer: localhost, Port 3050 (ohne Antwort wird nach 15 Sekunden aufgegeben)";
    EXPECT_EQ(log.Lines, std::vector<std::string>{prefix +
                                                  "Your user name and password are not defined.\r\n"
                                                  "Ask your database administrator" +
                                                  asked});
    EXPECT_FALSE(Contains(standin::Journal(), "isc_service_detach"));

    standin::FailCall("isc_service_detach", 1, {"connection lost.\n", "while detaching."});
    log.Lines.clear();
    EXPECT_FALSE(dm.CheckServer(port, &log));
    EXPECT_EQ(log.Lines,
              std::vector<std::string>{prefix + "connection lost.\nwhile detaching" + asked});
    EXPECT_EQ(standin::OpenHandles(), 0);
    // Status messages are read into a buffer of known size.
    for (const auto& call : standin::Interpretations()) {
        EXPECT_EQ(call, "fb_interpret size=1024");
    }

    // Without a log the results are the same.
    standin::FailCall("isc_service_attach", 3, {"refused."});
    EXPECT_FALSE(dm.CheckServer(port, nullptr));
    EXPECT_TRUE(dm.CheckServer(port, nullptr));
}

TEST_F(DataModuleStandIn, ChangeFileTableMakesTheCallsInOrderAndRenamesEveryRowAfterItsOwnName) {
    standin::SetRows(twoRows);
    // The entries of the list other than the first only count: the names come
    // from the rows.
    const std::vector<std::string> files{"/srv/neu/Tessaldrin.TDB", "/elsewhere/x.TDB",
                                         "/elsewhere/y.TDB"};
    EXPECT_TRUE(Changes(files, &log));

    const std::string dpb = Hex(Block({1}, "Masterquill", "KvomT"));
    ASSERT_EQ(dpb.size(), 2u * 27u);
    EXPECT_EQ(
        standin::Journal(),
        (std::vector<std::string>{
            "isc_attach_database localhost:/srv/neu/Tessaldrin.TDB dpb=" + dpb,
            "isc_database_info items=3e",
            "isc_start_multiple databases=1 tpb=",
            "isc_dsql_allocate_statement S1",
            "isc_dsql_allocate_statement S2",
            "isc_dsql_prepare S1 dialect=3 sql=" + kSelect,
            "isc_dsql_prepare S2 dialect=3 sql=" + kUpdate,
            "isc_dsql_execute S1 dialect=3",
            "isc_dsql_fetch S1 dialect=3 row",
            "isc_dsql_fetch S1 dialect=3 row",
            "isc_dsql_fetch S1 dialect=3 end",
            "isc_dsql_execute S2 dialect=3 params=('/srv/neu/Tessaldrin_1.TDB', 1, 301, 300, "
            "0, 0, 1)",
            "isc_dsql_execute S2 dialect=3 params=('/srv/neu/Tessaldrin_2.TDB', 2, 601, NULL, "
            "NULL, NULL, 2)",
            "isc_commit_transaction",
            "isc_dsql_free_statement S2 option=2",
            "isc_dsql_free_statement S1 option=2",
            "isc_detach_database",
        }));
    EXPECT_EQ(log.Lines,
              (std::vector<std::string>{
                  "", kHeading, Changed("E:\\Alt\\Tessaldrin_1.GDB", "/srv/neu/Tessaldrin_1.TDB"),
                  Changed("E:\\Alt\\Tessaldrin_2.GDB", "/srv/neu/Tessaldrin_2.TDB")}));
    EXPECT_EQ(standin::Rows(),
              (std::vector<Row>{
                  {"/srv/neu/Tessaldrin_1.TDB", 1, 301, 300, 0, 0},
                  {"/srv/neu/Tessaldrin_2.TDB", 2, 601, std::nullopt, std::nullopt, std::nullopt},
              }));
    EXPECT_EQ(standin::OpenHandles(), 0);
}

TEST_F(DataModuleStandIn, ASecondRunUpdatesEveryRowAgainToTheNameItHolds) {
    standin::SetRows(twoRows);
    ASSERT_TRUE(Changes(threeFiles, &log));
    const std::vector<Row> afterFirst = standin::Rows();
    standin::Reset();
    standin::SetRows(afterFirst);
    log.Lines.clear();

    EXPECT_TRUE(Changes(threeFiles, &log));
    EXPECT_EQ(log.Lines,
              (std::vector<std::string>{
                  "", kHeading, Changed("/srv/neu/Tessaldrin_1.TDB", "/srv/neu/Tessaldrin_1.TDB"),
                  Changed("/srv/neu/Tessaldrin_2.TDB", "/srv/neu/Tessaldrin_2.TDB")}));
    const auto journal = standin::Journal();
    EXPECT_EQ(
        std::count_if(journal.begin(), journal.end(),
                      [](const std::string& l) { return l.rfind("isc_dsql_execute S2", 0) == 0; }),
        2);
    EXPECT_EQ(standin::Rows(), afterFirst);
}

TEST_F(DataModuleStandIn, AOneFileDatabaseCommitsWithoutAnUpdate) {
    EXPECT_TRUE(Changes({"/srv/neu/Tessaldrin.TDB"}, &log));
    EXPECT_EQ(log.Lines, (std::vector<std::string>{"", kHeading}));
    EXPECT_TRUE(Contains(standin::Journal(), "isc_commit_transaction"));
    EXPECT_FALSE(Contains(standin::Journal(), "isc_dsql_execute S2"));
    EXPECT_EQ(standin::OpenHandles(), 0);
}

TEST_F(DataModuleStandIn, StatementsRunInTheDatabaseDialectWhenItIsLowerThanThree) {
    const std::pair<std::vector<unsigned char>, int> replies[] = {
        {{62, 1, 0, 1, 1}, 1},
        {{62, 1, 0, 2, 1}, 2},
        {{62, 1, 0, 3, 1}, 3},
        {{62, 1, 0, 4, 1}, 3},
        {{1}, 1},   // isc_info_end first: the item is not answered
        {{2, 0}, 1} // isc_info_truncated
    };
    for (const auto& [reply, dialect] : replies) {
        standin::Reset();
        standin::SetInfoReply(reply);
        standin::SetRows(twoRows);
        EXPECT_TRUE(Changes(threeFiles, nullptr));
        const std::string d = "dialect=" + std::to_string(dialect);
        EXPECT_TRUE(Contains(standin::Journal(), "isc_dsql_prepare S1 " + d + " sql=")) << d;
        EXPECT_TRUE(Contains(standin::Journal(), "isc_dsql_prepare S2 " + d + " sql=")) << d;
        EXPECT_TRUE(Contains(standin::Journal(), "isc_dsql_execute S2 " + d + " params=")) << d;
        EXPECT_TRUE(Contains(standin::Journal(), "isc_dsql_fetch S1 " + d + " end")) << d;
    }
}

TEST_F(DataModuleStandIn, AFailingFetchUpdateOrCommitLogsTheTextAloneRollsBackAndDetaches) {
    struct Case {
        const char* entryPoint;
        int occurrence;
        std::vector<std::string> expectedLog;
    };
    const std::string text = "stand-in failure.\r\nsecond message";
    const Case cases[] = {
        {"isc_dsql_fetch", 2, {"", kHeading, text}},
        {"isc_dsql_execute",
         2, // the first update
         {"", kHeading, text}},
        {"isc_dsql_execute",
         3, // the second update
         {"", kHeading, Changed("E:\\Alt\\Tessaldrin_1.GDB", "/srv/neu/Tessaldrin_1.TDB"), text}},
        {"isc_commit_transaction",
         1,
         {"", kHeading, Changed("E:\\Alt\\Tessaldrin_1.GDB", "/srv/neu/Tessaldrin_1.TDB"),
          Changed("E:\\Alt\\Tessaldrin_2.GDB", "/srv/neu/Tessaldrin_2.TDB"), text}},
        {"isc_dsql_prepare", 2, {"", kHeading, text}},
        {"isc_start_multiple", 1, {"", kHeading, text}},
    };
    for (const Case& c : cases) {
        standin::Reset();
        standin::SetRows(twoRows);
        standin::FailCall(c.entryPoint, c.occurrence, {"stand-in failure.", "second message."});
        log.Lines.clear();
        EXPECT_FALSE(Changes(threeFiles, &log)) << c.entryPoint;
        EXPECT_EQ(log.Lines, c.expectedLog) << c.entryPoint;
        const auto journal = standin::Journal();
        ASSERT_FALSE(journal.empty());
        EXPECT_EQ(journal.back(), "isc_detach_database") << c.entryPoint;
        const bool started = std::string(c.entryPoint) != "isc_start_multiple";
        EXPECT_EQ(Contains(journal, "isc_rollback_transaction"), started) << c.entryPoint;
        EXPECT_FALSE(Contains(journal, "isc_commit_transaction") &&
                     std::string(c.entryPoint) != "isc_commit_transaction")
            << c.entryPoint;
        EXPECT_EQ(standin::Rows(), twoRows) << c.entryPoint;
        EXPECT_EQ(standin::OpenHandles(), 0) << c.entryPoint;
    }
}

// Rows that no update may touch: repeated sequences of shadow files (one
// update would reach more than one row), and a name that names no file
// ("/srv/neu/.TDB"), whatever the rows before it hold. Every row is read,
// nothing is updated, the transaction is rolled back and nothing stays open.
TEST_F(DataModuleStandIn, RowsThatNoUpdateMayTouchLeaveTheTableUnchanged) {
    struct Case {
        std::vector<Row> rows;
        std::vector<std::string> files;
        std::string error;
    };
    std::vector<Row> shadow = twoRows;
    shadow.push_back({"E:\\Alt\\Tessaldrin.SHD", 1, 0, std::nullopt, 1, 1});
    std::vector<Row> noFile = twoRows;
    noFile[1].fileName = "E:\\Alt\\";
    const Case cases[] = {
        {shadow,
         {"/srv/neu/Tessaldrin.TDB", "/srv/neu/Tessaldrin_1.TDB", "/srv/neu/Tessaldrin_2.TDB",
          "/srv/neu/Tessaldrin.SHD"},
         "Fehler: Die File-Tabelle enthält mehrere Einträge mit derselben RDB$FILE_SEQUENCE; "
         "sie wird nicht geändert!"},
        {noFile, threeFiles,
         "FEHLER: Der gespeicherte Dateiname \"E:\\Alt\\\" nennt keine Datei; er wird nicht "
         "geändert.\n\n"},
    };
    for (const Case& c : cases) {
        standin::Reset();
        log.Lines.clear();
        standin::SetRows(c.rows);
        EXPECT_FALSE(Changes(c.files, &log)) << c.error;
        EXPECT_EQ(log.Lines, (std::vector<std::string>{"", kHeading, c.error}));
        EXPECT_EQ(JournalFrom("isc_dsql_fetch S1 dialect=3 end"),
                  (std::vector<std::string>{"isc_dsql_fetch S1 dialect=3 end",
                                            "isc_dsql_free_statement S2 option=2",
                                            "isc_dsql_free_statement S1 option=2",
                                            "isc_rollback_transaction", "isc_detach_database"}))
            << c.error;
        EXPECT_EQ(standin::Rows(), c.rows) << c.error;
        EXPECT_EQ(standin::OpenHandles(), 0) << c.error;
    }
}

TEST_F(DataModuleStandIn, AWrongFileCountUpdatesNoRowAfterFetchingThemAll) {
    standin::SetRows(twoRows);
    EXPECT_FALSE(Changes({threeFiles[0], threeFiles[1]}, &log));
    EXPECT_EQ(log.Lines, (std::vector<std::string>{
                             "", kHeading,
                             "Fehler: Die Anzahl der gefundenen Files stimmt nicht mit der Anzahl "
                             "der Einträge in der File-Tabelle überein!"}));
    EXPECT_EQ(JournalFrom("isc_dsql_fetch"),
              (std::vector<std::string>{
                  "isc_dsql_fetch S1 dialect=3 row", "isc_dsql_fetch S1 dialect=3 row",
                  "isc_dsql_fetch S1 dialect=3 end", "isc_dsql_free_statement S2 option=2",
                  "isc_dsql_free_statement S1 option=2", "isc_rollback_transaction",
                  "isc_detach_database"}));
    EXPECT_EQ(standin::OpenHandles(), 0);

    // The rollback on this path is a step of its own: when the server
    // refuses it, its error text follows the count line.
    standin::Reset();
    standin::SetRows(twoRows);
    standin::FailCall("isc_rollback_transaction", 1, {"rollback refused."});
    log.Lines.clear();
    EXPECT_FALSE(Changes({threeFiles[0], threeFiles[1]}, &log));
    EXPECT_EQ(log.Lines, (std::vector<std::string>{
                             "", kHeading,
                             "Fehler: Die Anzahl der gefundenen Files stimmt nicht mit der Anzahl "
                             "der Einträge in der File-Tabelle überein!",
                             "rollback refused"}));
    EXPECT_EQ(standin::Journal().back(), "isc_detach_database");
    EXPECT_EQ(standin::Rows(), twoRows);
}

TEST_F(DataModuleStandIn, AFailedAttachOrDialectReadIsRaisedWithNothingLeftOpen) {
    standin::FailCall("isc_attach_database", 1, {"I/O error during \"open\".", "No such file."});
    try {
        Changes(threeFiles, &log);
        FAIL() << "the refused attachment was not raised";
    } catch (const ClientError& error) {
        EXPECT_STREQ(error.what(), "I/O error during \"open\".\r\nNo such file");
    }
    EXPECT_EQ(log.Lines, (std::vector<std::string>{"", kHeading}));
    EXPECT_EQ(standin::Journal().size(), 1u);

    standin::Reset();
    standin::FailCall("isc_database_info", 1, {"info refused."});
    EXPECT_THROW(Changes(threeFiles, nullptr), ClientError);
    EXPECT_EQ(standin::Journal().back(), "isc_detach_database");
    EXPECT_EQ(standin::OpenHandles(), 0);
}

// A file copied from a volume that ignores case keeps its spelling on disk,
// and the row takes it, as the header link does. The stand-in stands for a
// server that accepts the update, which Firebird 3 does not.
TEST_F(DataModuleStandIn, ARowTakesTheSpellingOfTheOneFileOnDiskThatDiffersOnlyInCase) {
    const std::string neu = ::testing::TempDir() + "tm-case-" + std::to_string(getpid()) + "/";
    std::filesystem::create_directories(neu);
    std::ofstream{neu + "TESSALDRIN_1.TDB"} << "secondary";
    dir = neu;
    standin::SetRows(twoRows);
    EXPECT_TRUE(Changes({neu + "Tessaldrin.TDB", neu + "TESSALDRIN_1.TDB", "x"}, &log));
    EXPECT_EQ(standin::Rows()[0].fileName, neu + "TESSALDRIN_1.TDB");
    EXPECT_EQ(standin::Rows()[1].fileName, neu + "Tessaldrin_2.TDB");
    std::filesystem::remove_all(neu);
}

// A detach or a rollback that fails: the stand-in, as the engine does, keeps
// the attachment or the transaction open after such a failure.
TEST_F(DataModuleStandIn, AFailedDetachAfterTheCommitIsOneEntryAndTheResultStandsStandIn) {
    standin::SetRows(twoRows);
    standin::FailCall("isc_detach_database", 1, {"connection lost.", "while detaching."});
    EXPECT_TRUE(Changes(threeFiles, &log));
    EXPECT_EQ(log.Lines,
              (std::vector<std::string>{
                  "", kHeading, Changed("E:\\Alt\\Tessaldrin_1.GDB", "/srv/neu/Tessaldrin_1.TDB"),
                  Changed("E:\\Alt\\Tessaldrin_2.GDB", "/srv/neu/Tessaldrin_2.TDB"),
                  "connection lost.\r\nwhile detaching"}));
    EXPECT_EQ(JournalFrom("isc_detach_database"),
              (std::vector<std::string>{"isc_detach_database failed", "isc_detach_database"}));
    EXPECT_EQ(standin::Rows()[0].fileName, "/srv/neu/Tessaldrin_1.TDB");
    EXPECT_EQ(standin::OpenHandles(), 0);
}

TEST_F(DataModuleStandIn, AFailedRollbackKeepsItsHandleSoThatNothingStaysAttachedStandIn) {
    standin::SetRows(twoRows);
    standin::FailCall("isc_rollback_transaction", 1, {"rollback refused."});
    // Two files for two rows: the count check rolls back.
    EXPECT_FALSE(Changes({threeFiles[0], threeFiles[1]}, &log));
    EXPECT_EQ(log.Lines, (std::vector<std::string>{
                             "", kHeading,
                             "Fehler: Die Anzahl der gefundenen Files stimmt nicht mit der Anzahl "
                             "der Eintr\xC3\xA4ge in der File-Tabelle \xC3\xBC"
                             "berein!",
                             "rollback refused"}));
    EXPECT_EQ(JournalFrom("isc_rollback_transaction"),
              (std::vector<std::string>{"isc_rollback_transaction failed",
                                        "isc_rollback_transaction", "isc_detach_database"}));
    EXPECT_EQ(standin::Rows(), twoRows);
    EXPECT_EQ(standin::OpenHandles(), 0);
}
