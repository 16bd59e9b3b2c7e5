// The client layer's own rules: the error text, the dialect reply, the named
// parameters, and the loading of the client library.
#include "filetable/client_library.h"
#include "filetable/database_info.h"
#include "filetable/dm_files.h"
#include "filetable/positional_sql.h"
#include "filetable/status_text.h"

#include <gtest/gtest.h>

using namespace tessaldrin::filetable;

TEST(StatusText, JoinsMessagesWithCrLfUnlessOneEndsInALineFeed) {
    EXPECT_EQ(JoinStatusMessages({"Unable to complete network request to host \"localhost\".",
                                  "Failed to establish a connection."}),
              "Unable to complete network request to host \"localhost\".\r\n"
              "Failed to establish a connection");
    EXPECT_EQ(JoinStatusMessages({"first\n", "second", "third\n", "fourth"}),
              "first\nsecond\r\nthird\nfourth");
    // An empty message still gets its separator: the texts stay apart.
    EXPECT_EQ(JoinStatusMessages({"", "b"}), "\r\nb");
    EXPECT_EQ(JoinStatusMessages({"one"}), "one");
    EXPECT_EQ(JoinStatusMessages({}), "");
}

TEST(StatusText, RemovesOneFinalDotOnly) {
    EXPECT_EQ(JoinStatusMessages({"a..."}), "a..");
    EXPECT_EQ(JoinStatusMessages({"a.", "b. "}), "a.\r\nb. ");
    EXPECT_EQ(JoinStatusMessages({"."}), "");
    EXPECT_EQ(JoinStatusMessages({"a.\n"}), "a.\n");
}

// A code of a newer server that the installed (Firebird 3) library has no text
// for shows by its number; a code it knows keeps the library's text.
TEST(StatusText, ACodeTheInstalledLibraryHasNoTextForShowsAsFirebirdErrorN) {
    const TdmFiles dm;
    const ISC_STATUS status[] = {isc_arg_gds,    isc_connect_reject,
                                 isc_arg_gds,    335545254,
                                 isc_arg_string, reinterpret_cast<ISC_STATUS>("RDB$FILES"),
                                 isc_arg_end};
    EXPECT_EQ(StatusText(dm.ibdbTessaldrin.Library().api(), status),
              "connection rejected by remote interface\r\nFirebird-Fehler 335545254");
}

TEST(DialectReply, ReadsTheItemAndCountsAnythingElseAsDialectOne) {
    const char three[] = {kDialectInfoItem, 1, 0, 3, 1};
    const char two[] = {kDialectInfoItem, 2, 0, 2, 0, 1};
    const char end[] = {1, 0, 0, 0, 0};
    const char truncated[] = {kDialectInfoItem, 4, 0, 3};
    const char noLength[] = {kDialectInfoItem};
    const char tooWide[] = {kDialectInfoItem, 5, 0, 3, 0, 0, 0, 0};
    EXPECT_EQ(SqlDialectFromReply(three, sizeof three), 3);
    EXPECT_EQ(SqlDialectFromReply(two, sizeof two), 2);
    EXPECT_EQ(SqlDialectFromReply(end, sizeof end), 1);
    EXPECT_EQ(SqlDialectFromReply(truncated, sizeof truncated), 1);
    EXPECT_EQ(SqlDialectFromReply(noLength, sizeof noLength), 1);
    EXPECT_EQ(SqlDialectFromReply(tooWide, sizeof tooWide), 1);
    EXPECT_EQ(SqlDialectFromReply(nullptr, 0), 1);
}

TEST(PositionalSql, TurnsNamesIntoQuestionMarksInOrderOfAppearance) {
    const PositionalSql sql = ToPositional("update T\nset\n  A = :A,\n  B$X = :b$x\nwhere\n"
                                           "  A = :OLD_A and C = ':NOT' /* :NO */ -- :NONE\n"
                                           "  and \"Q:R\" = :A");
    EXPECT_EQ(sql.text, "update T\nset\n  A = ?,\n  B$X = ?\nwhere\n"
                        "  A = ? and C = ':NOT' /* :NO */ -- :NONE\n"
                        "  and \"Q:R\" = ?");
    EXPECT_EQ(sql.parameters, (std::vector<std::string>{"A", "B$X", "OLD_A", "A"}));
    // A colon not followed by a name is no parameter.
    EXPECT_EQ(ToPositional("x : y:").text, "x : y:");
    EXPECT_TRUE(ToPositional("x : y:").parameters.empty());
}

TEST(ClientLibraryLoading, AMissingLibraryFailsTheDataModuleWithTheTextNamingIt) {
    try {
        TdmFiles dm("libfbclient-not-installed.so.9");
        FAIL() << "the data module was created without its library";
    } catch (const ClientError& error) {
        EXPECT_STREQ(error.what(), "InterBase-Bibliothek libfbclient-not-installed.so.9 im Pfad "
                                   "nicht gefunden. Bitte installieren Sie InterBase, um diese "
                                   "Funktionalität zu verwenden");
    }
}

TEST(ClientLibraryLoading, ALibraryWithoutTheClientEntryPointsIsRefusedLikeAMissingOne) {
    try {
        TdmFiles dm("libm.so.6");
        FAIL() << "libm was taken for a client library";
    } catch (const ClientError& error) {
        EXPECT_STREQ(error.what(), "InterBase-Bibliothek libm.so.6 im Pfad nicht gefunden. Bitte "
                                   "installieren Sie InterBase, um diese Funktionalität zu "
                                   "verwenden");
    }
}

TEST(ClientLibraryLoading, TheInstalledClientLibraryLoadsByItsPlatformName) {
    EXPECT_STREQ(kClientLibraryName, "libfbclient.so.2");
    EXPECT_NO_THROW(TdmFiles{});
}

TEST(ServerAddress, WritesEveryPortButTheStandardOne) {
    const std::pair<std::int32_t, const char*> cases[] = {
        {3050, "localhost"},
        {30500, "localhost/30500"},
        {0, "localhost/0"},
        {-1, "localhost/-1"},
        {3051, "localhost/3051"},
        {65535, "localhost/65535"},
        {2147483647, "localhost/2147483647"},
    };
    for (const auto& [port, address] : cases) {
        EXPECT_EQ(TdmFiles::ServerAddress(port), address) << port;
    }
}
