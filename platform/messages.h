// Every message of the program by name, each with the kinds of the values
// that its placeholders take: Text for %s, Number for %d. A name is checked
// against the message table when the program is compiled: its number must
// stand there, and the text's placeholders must be the name's, in order.
#pragma once

#include "platform/message_table.h"

#include <string_view>

namespace tessaldrin::platform {

using Text = std::string_view;
using Number = int;

template <typename... Args> class Message {
public:
    consteval explicit Message(int id) : id_(id) {
        if (MessageTextOf(id).empty()) {
            throw "no message of this number in the table";
        }
        if (!PlaceholdersAre(MessageTextOf(id))) {
            throw "the message's placeholders are not those of its name";
        }
    }
    constexpr int id() const { return id_; }

private:
    template <typename T> static constexpr char PlaceholderOf() {
        static_assert(std::is_same_v<T, Text> || std::is_same_v<T, Number>);
        return std::is_same_v<T, Text> ? 's' : 'd';
    }
    // Whether the placeholders of `text` are those of Args, in order; "%%"
    // stands for a percent sign, and any other "%" is refused.
    static consteval bool PlaceholdersAre(std::string_view text) {
        constexpr char expected[] = {PlaceholderOf<Args>()..., '\0'};
        std::size_t next = 0;
        for (std::size_t at = 0; at < text.size(); ++at) {
            if (text[at] != '%') {
                continue;
            }
            if (at + 1 == text.size()) {
                return false;
            }
            const char kind = text[++at];
            if (kind == '%') {
                continue;
            }
            if (next == sizeof...(Args) || expected[next] != kind) {
                return false;
            }
            ++next;
        }
        return next == sizeof...(Args);
    }

    int id_;
};

} // namespace tessaldrin::platform

namespace tessaldrin::msg {

using platform::Message;
using platform::Number;
using platform::Text;

inline constexpr Message<> kConfirmationWord{21001};
inline constexpr Message<> kFileTableHeading{21002};
inline constexpr Message<> kFileCountMismatch{21003};
inline constexpr Message<Text, Text> kRowRenamed{21004};
inline constexpr Message<> kServerPresent{21005};
inline constexpr Message<Text> kError{21007};
inline constexpr Message<Text, Number> kErrorNumber{21009};
inline constexpr Message<> kEntriesOverrunPage{21015};
inline constexpr Message<Text> kContinuationFile{21016};
inline constexpr Message<> kLastFile{21017};
inline constexpr Message<> kCannotOpenFile{21018};
inline constexpr Message<> kCannotReadHeader{21020};
inline constexpr Message<> kWrongPageSize{21021};
inline constexpr Message<> kWrongPageType{21022};
inline constexpr Message<> kContinuedHeader{21023};
inline constexpr Message<Number, Number> kChecksumWarning{21024};
inline constexpr Message<> kNameDoesNotFit{21025};
inline constexpr Message<Text, Text> kLinkChanged{21026};
inline constexpr Message<> kEntriesTooLarge{21027};
inline constexpr Message<> kEntriesBroken{21028};
inline constexpr Message<> kNoContinuation{21029};
inline constexpr Message<> kCannotWriteHeader{21030};
inline constexpr Message<> kFilesHeading{21031};
inline constexpr Message<> kNoDatabase{21032};
inline constexpr Message<> kRelinkingHeading{21033};
inline constexpr Message<> kRenamingHeading{21034};
inline constexpr Message<Text, Text> kFileRenamed{21035};
inline constexpr Message<> kAdjusted{21036};
inline constexpr Message<> kNotAdjusted{21037};
inline constexpr Message<Text> kNoServerConnection{21038};
inline constexpr Message<Text> kProcessingFile{21039};
inline constexpr Message<> kUnsupportedForm{21040};
inline constexpr Message<> kRepeatedSequence{21041};
inline constexpr Message<Text> kNamesNoFile{21042};
inline constexpr Message<> kDamagedLink{21043};
inline constexpr Message<> kPageNotRestored{21044};
inline constexpr Message<> kChainNotHeld{21045};
inline constexpr Message<> kServerKeepsFileTable{21050};
inline constexpr Message<Text, Text> kFileWouldBeRenamed{21060};
inline constexpr Message<> kPreviewHeading{21061};
inline constexpr Message<Text, Text> kLinkWouldChange{21062};
inline constexpr Message<> kPreviewEnded{21063};
inline constexpr Message<Text> kChainHeading{21064};
inline constexpr Message<Text, Text> kNotInDirectory{21065};
inline constexpr Message<Text> kLoop{21066};
inline constexpr Message<Text> kOtherForm{21067};
inline constexpr Message<Text> kChainAdjusted{21068};
inline constexpr Message<Text> kChainNotAdjusted{21069};
inline constexpr Message<Text, Text> kFileRefused{21070};
inline constexpr Message<> kReachedByNoLink{21071};
inline constexpr Message<Text> kNameTaken{21072};
inline constexpr Message<Number> kNotThePrimary{21073};
inline constexpr Message<Text> kLinkAlreadyRight{21074};
inline constexpr Message<> kPageChangedSincePlan{21075};
inline constexpr Message<Text> kEndedAfterPage{21076};
inline constexpr Message<> kEndedBeforeAnyPage{21077};
inline constexpr Message<Text, Text> kRenameFailed{21078};
inline constexpr Message<Text> kReason{21080};
inline constexpr Message<> kReasonMissing{21081};
inline constexpr Message<> kReasonNoPermission{21082};
inline constexpr Message<> kReasonHeldElsewhere{21083};
inline constexpr Message<> kReasonLink{21084};
inline constexpr Message<> kReasonNotRegularFile{21085};
inline constexpr Message<> kReasonSecondName{21086};
inline constexpr Message<> kReasonReadOnlyFileSystem{21087};
inline constexpr Message<> kReasonNameTooLong{21088};
inline constexpr Message<Text> kReasonSystemError{21089};
inline constexpr Message<Text, Number, Number> kServerAddressed{21090};
inline constexpr Message<Text> kFirebirdError{21091};
inline constexpr Message<> kAdjustedFileTableKept{21092};
inline constexpr Message<Text> kChainAdjustedFileTableKept{21093};
inline constexpr Message<Text> kSearchedDirectory{21094};
inline constexpr Message<> kReasonHoldersUnknownNoRight{21095};
inline constexpr Message<> kReasonHoldersUnknownFileSystem{21096};
inline constexpr Message<Number> kServerSilent{21097};
inline constexpr Message<> kCommitUnanswered{21098};
inline constexpr Message<Number> kNotAPort{21099};
inline constexpr Message<Number, Number> kWrongPlaceInChain{21100};
inline constexpr Message<Text> kAnotherPrimary{21101};
inline constexpr Message<Text> kCaseTwin{21102};
inline constexpr Message<> kCannotRename{21103};
inline constexpr Message<Text> kReasonDirectoryUnchangeable{21104};
inline constexpr Message<> kPathNotSystemText{21105};
inline constexpr Message<Text> kFoundTwice{21106};
inline constexpr Message<Text> kAlsoSearched{21107};
inline constexpr Message<Number, Number, Number> kCopyProgress{21200};
inline constexpr Message<Text> kJoinHeading{21201};
inline constexpr Message<Text, Text> kJoinRefused{21202};
inline constexpr Message<> kJoinSingleFile{21203};
inline constexpr Message<> kJoinHeaderUnreadable{21204};
inline constexpr Message<Number> kJoinOdsNotHandled{21205};
inline constexpr Message<Number, Number> kJoinOdsDiffers{21206};
inline constexpr Message<> kJoinShadow{21207};
inline constexpr Message<> kJoinRootFileName{21208};
inline constexpr Message<Number> kJoinBackupState{21209};
inline constexpr Message<> kJoinEncryption{21210};
inline constexpr Message<Number> kJoinHeaderContinues{21211};
inline constexpr Message<> kJoinEntriesDamaged{21212};
inline constexpr Message<Number, Number> kJoinWrongSequence{21213};
inline constexpr Message<Number, Number> kJoinWrongPageSize{21214};
inline constexpr Message<Number, Number> kJoinWrongFirstPage{21215};
inline constexpr Message<> kJoinContinuationWithoutLastPage{21216};
inline constexpr Message<> kJoinLastPageWithoutContinuation{21217};
inline constexpr Message<> kJoinChainIncomplete{21218};
inline constexpr Message<> kJoinChainEndsEarly{21219};
inline constexpr Message<Number, Number> kJoinEmptyRange{21220};
inline constexpr Message<> kJoinPartialPage{21221};
inline constexpr Message<Number, Number> kJoinLongerThanRange{21222};
inline constexpr Message<> kJoinNameNotJournaled{21223};
inline constexpr Message<> kJoinJournalPresent{21224};
inline constexpr Message<> kJoinAsideNameTaken{21225};
inline constexpr Message<> kJoinFreeSpaceUnknown{21226};
inline constexpr Message<Number, Number> kJoinNotEnoughSpace{21227};
inline constexpr Message<> kJoinSectorExceeded{21228};
inline constexpr Message<Number, Number> kJoinPageMisplaced{21229};
inline constexpr Message<> kJoinForeignJournal{21230};
inline constexpr Message<> kJoinPrimaryChanged{21231};
inline constexpr Message<> kJoinSecondaryChanged{21232};
inline constexpr Message<> kJoinSecondaryTwice{21233};
inline constexpr Message<Text> kJoinFileNotHeld{21234};
inline constexpr Message<Text, Number, Number, Number> kJoinCopyPlanned{21235};
inline constexpr Message<Number> kJoinNewLength{21236};
inline constexpr Message<Text, Text> kJoinAside{21237};
inline constexpr Message<Text> kJoinJournalFound{21238};
inline constexpr Message<> kJoinRecoveredUndone{21239};
inline constexpr Message<> kJoinRecoveredFinished{21240};
inline constexpr Message<> kJoinRecoveredCutShort{21241};
inline constexpr Message<> kJoinRecoveryFailed{21242};
inline constexpr Message<Text> kJoinFailed{21243};
inline constexpr Message<Text> kJoined{21244};
inline constexpr Message<Text> kNotJoined{21245};
inline constexpr Message<> kJoinFileTableKept{21246};
inline constexpr Message<> kJoinOpenedMeanwhile{21247};
inline constexpr Message<Text> kJoinLeftForRecovery{21248};
inline constexpr Message<> kJoinStepJournal{21249};
inline constexpr Message<> kJoinStepReserve{21250};
inline constexpr Message<> kJoinStepCopy{21251};
inline constexpr Message<> kJoinStepSync{21252};
inline constexpr Message<> kJoinStepCommit{21253};
inline constexpr Message<> kJoinStepRename{21254};
inline constexpr Message<> kJoinStepRemoveJournal{21255};
inline constexpr Message<Number> kJoinRowsRemoved{21256};
inline constexpr Message<Number, Number> kJoinRowsMiscounted{21257};
inline constexpr Message<> kJoinRowsNotRemoved{21258};

} // namespace tessaldrin::msg
