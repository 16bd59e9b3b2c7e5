#include "platform/format_message.h"
#include "platform/load_string.h"

#include <gtest/gtest.h>

namespace msg = tessaldrin::msg;
using tessaldrin::platform::Format;
using tessaldrin::platform::FormatPlaceholders;
using tessaldrin::platform::LoadString;

namespace {

// Whether `message` takes `Arguments`: the kinds and the number of the values
// are checked when the program is compiled.
template <typename Message, typename... Arguments>
concept Takes = requires(Message message, Arguments... arguments) {
    tessaldrin::platform::Format(message, arguments...);
};
static_assert(Takes<decltype(msg::kLoop), std::string>);
static_assert(Takes<decltype(msg::kLoop), const char*>);
static_assert(!Takes<decltype(msg::kLoop), int>);
static_assert(!Takes<decltype(msg::kLoop)>);
static_assert(!Takes<decltype(msg::kLoop), std::string, std::string>);
static_assert(Takes<decltype(msg::kChecksumWarning), int, std::uint16_t>);
static_assert(!Takes<decltype(msg::kChecksumWarning), std::string, int>);

} // namespace

TEST(MessageTable, KeepsTabsLineFeedsAndUmlautsAsBytes) {
    EXPECT_EQ(LoadString(msg::kContinuationFile.id()), "Fortsetzungsdatei:\t\"%s\"\n\n");
    EXPECT_EQ(LoadString(msg::kWrongPageSize.id()), "Falsche Datenbank-Seiten-Gr\xC3\xB6\xC3\x9F"
                                                    "e!");
    EXPECT_EQ(LoadString(msg::kRelinkingHeading.id()),
              "\xC3\x84ndere Links in den File-Headern ...");
    EXPECT_EQ(LoadString(msg::kLastFile.id()),
              "Dies ist die letzte Datei. (Im Header wurde kein Fortsetzungsdatei gefunden!)\n\n");
    EXPECT_EQ(LoadString(msg::kChecksumWarning.id()),
              "WARNUNG: Checksummen-Fehler, erwarted %d, gefunden %d.\n\n");
}

TEST(MessageTable, HoldsEveryQuotedNumberAndNothingElse) {
    const int quoted[] = {
        21001, 21002, 21003, 21004, 21005, 21007, 21009, 21015, 21016, 21017, 21018, 21020,
        21021, 21022, 21023, 21024, 21025, 21026, 21027, 21028, 21029, 21030, 21031, 21032,
        21033, 21034, 21035, 21036, 21037, 21038, 21039, 21040, 21041, 21042, 21043, 21044,
        21045, 21050, 21060, 21061, 21062, 21063, 21064, 21065, 21066, 21067, 21068, 21069,
        21070, 21071, 21072, 21073, 21074, 21075, 21076, 21077, 21078, 21080, 21081, 21082,
        21083, 21084, 21085, 21086, 21087, 21088, 21089, 21090, 21091, 21092, 21093, 21094, 21095, 21096,
        21097, 21098, 21099, 21100, 21101, 21102, 21103, 21104, 21105};
    for (int id : quoted) {
        EXPECT_FALSE(LoadString(id).empty()) << id;
    }
    for (int id : {21000, 21006, 21008, 21019, 21046, 21051, 21079, 21199}) {
        EXPECT_TRUE(LoadString(id).empty()) << id;
    }
}

TEST(MessageTable, FormatsLongNamesWhole) {
    const std::string name(255, 'x');
    const std::string line = Format(msg::kLinkChanged, name, name);
    EXPECT_EQ(line, "Link ge\xC3\xA4ndert von \"" + name + "\" zu \"" + name + "\"");
}

TEST(MessageTable, FormatsSignedAndPlainMessages) {
    EXPECT_EQ(Format(msg::kChecksumWarning, 12345, 0),
              "WARNUNG: Checksummen-Fehler, erwarted 12345, gefunden 0.\n\n");
    EXPECT_EQ(Format(msg::kConfirmationWord), "JA");
    // No value is ever read as a format: a "%s" inside one stays as it is.
    EXPECT_EQ(Format(msg::kLoop, "%s%d%n"),
              "Die Datei \"%s%d%n\" steht zweimal in der Kette (Schleife).");
    EXPECT_EQ(FormatPlaceholders("100%% von %s, %d", {"x"}), "100% von x, %d");
}
