#include "data/error_reporter.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "runtime/system/message_service.h"
#include "runtime/system/runtime_error.h"
#include "tests/support/halt_recorder.h"
#include "tests/support/scripted_messages.h"

namespace ledora::data {
namespace {

using runtime::ButtonCancel;
using runtime::ButtonNo;
using runtime::ButtonOk;
using runtime::ButtonYes;

class ErrorReporterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    runtime::ClearError();
    reporter.Initialize();
  }

  // Adds a table whose block lives as long as the test.
  void AddTable(std::vector<MessageDefinition> definitions) {
    blocks.emplace_back();
    ASSERT_EQ(PackMessageTable(definitions, &blocks.back()), MessageTableOk);
    ASSERT_EQ(reporter.AddMessages(blocks.back()), MessageTableOk);
  }

  // Raises number as an information message with text and returns what was shown.
  std::string Shown(std::string_view text, uint16_t number = 1000) {
    AddTable({{number, SeverityInform, "Test", text}});
    messages.Expect("Test", "", ButtonOk);
    EXPECT_EQ(reporter.Throw(MessageNumber{number}), SeverityInform);
    return messages.last().request.text;
  }

  testing::ScriptedMessages messages;
  testing::HaltRecorder halts;
  std::deque<std::vector<uint8_t>> blocks;
  ErrorReporter reporter;
};

TEST_F(ErrorReporterTest, InitializeLoadsTheDefaultTableAndShutdownFreesIt) {
  EXPECT_EQ(reporter.MESSAGES.size(), 39u);
  reporter.Initialize();
  EXPECT_EQ(reporter.MESSAGES.size(), 39u);
  reporter.Shutdown();
  EXPECT_TRUE(reporter.MESSAGES.empty());
  EXPECT_EQ(reporter.CurrentMessage(), nullptr);
}

TEST_F(ErrorReporterTest, QuestionRepliesZeroForYesAndFourForNo) {
  messages.Expect("Confirm Delete", "highlighted record", ButtonYes);
  EXPECT_EQ(reporter.Throw(MsgConfirmDelete), SeverityNone);
  messages.Expect("Confirm Delete", "", ButtonNo);
  EXPECT_EQ(reporter.Throw(MsgConfirmDelete), SeverityCancelled);

  const runtime::MessageRequest& box = messages.last().request;
  EXPECT_EQ(box.text, "Are you sure you want to delete the highlighted record?");
  EXPECT_EQ(box.icon, runtime::IconExclamation);
  EXPECT_EQ(box.buttons, ButtonYes | ButtonNo);
  EXPECT_EQ(box.defaultButton, ButtonYes);
}

TEST_F(ErrorReporterTest, SeverityDecidesHowTheMessageIsShown) {
  AddTable({{900, SeverityNone, "Quiet", "never shown"},
            {901, SeverityCancelled, "Cancel?", "Asked like a question"},
            {902, SeverityInform, "Note", "Just so you know"}});
  EXPECT_EQ(reporter.Throw(MessageNumber{900}), SeverityNone);
  EXPECT_TRUE(messages.shown().empty());

  messages.Expect("Cancel?", "Asked", ButtonNo);
  EXPECT_EQ(reporter.Throw(MessageNumber{901}), SeverityCancelled);

  messages.Expect("Note", "Just so you know", ButtonOk);
  EXPECT_EQ(reporter.Throw(MessageNumber{902}), SeverityInform);
  EXPECT_EQ(messages.last().request.icon, runtime::IconAsterisk);
  EXPECT_EQ(messages.last().request.buttons, ButtonOk);
  EXPECT_FALSE(halts.halted());
}

TEST_F(ErrorReporterTest, StopShowsEndNoticeThenHaltsWithTheTitle) {
  reporter.SetFile("Customers");
  runtime::SetError(runtime::ErrorFileNotFound);
  messages.Expect("File Access Error", "", ButtonOk);
  EXPECT_EQ(reporter.Throw(MsgFileAccessError), SeverityStop);
  EXPECT_EQ(messages.last().request.text,
            "File (Customers) could not be opened.  Error: File Not Found (2)."
            "  Press OK to end this application");
  EXPECT_EQ(messages.last().request.icon, runtime::IconAsterisk);
  ASSERT_EQ(halts.calls().size(), 1u);
  EXPECT_EQ(halts.calls()[0].exitCode, 0);
  EXPECT_EQ(halts.calls()[0].text, "File Access Error");
}

// Stands for another procedure that raises its own message while the first
// box waits for the user.
class InterruptingService : public runtime::MessageService {
 public:
  explicit InterruptingService(ErrorReporter* reporter) : reporter_(reporter) {}
  uint32_t Show(const runtime::MessageRequest& request) override {
    captions.push_back(request.caption);
    if (captions.size() == 1) {
      reporter_->SetFile("ITEMS");
      reporter_->Throw(MsgNoRecords);
    }
    return request.defaultButton;
  }
  std::vector<std::string> captions;

 private:
  ErrorReporter* reporter_;
};

TEST_F(ErrorReporterTest, StopHaltsWithItsOwnTitleWhenAnotherMessageCameMeanwhile) {
  InterruptingService interrupting(&reporter);
  runtime::SetMessageService(&interrupting);
  reporter.SetFile("CUSTOMER");
  EXPECT_EQ(reporter.Throw(MsgFileCreationError), SeverityStop);
  runtime::SetMessageService(&messages.service());
  EXPECT_EQ(interrupting.captions, (std::vector<std::string>{"File Creation Error", "No Records"}));
  ASSERT_EQ(halts.calls().size(), 1u);
  EXPECT_EQ(halts.calls()[0].text, "File Creation Error");
}

TEST_F(ErrorReporterTest, InternalAndUnknownSeveritiesEndTheProgramLikeStop) {
  AddTable({{903, 9, "Odd", "Odd severity"}});
  reporter.SetFile("INVOICES");
  messages.Expect("File Usage Error",
                  "Attempt to use file (INVOICES) before it was opened  Press OK", ButtonOk);
  messages.Expect("Odd", "Odd severity  Press OK to end", ButtonOk);
  EXPECT_EQ(reporter.Throw(MsgFileUsageError), SeverityStop);
  EXPECT_EQ(reporter.Throw(MessageNumber{903}), SeverityStop);
  ASSERT_EQ(halts.calls().size(), 2u);
  EXPECT_EQ(halts.calls()[1].text, "Odd");
}

// Records which handler ran, to check the dispatch and the handlers' chain.
class RecordingReporter : public ErrorReporter {
 public:
  data::Severity HandleInform() override {
    calls += "inform ";
    return SeverityNone;  // the reply stays 5 whatever the handler says
  }
  data::Severity HandleInternal() override {
    calls += "internal ";
    return data::Severity{42};
  }
  std::string calls;
};

TEST_F(ErrorReporterTest, OverriddenHandlersAreUsedAndInformAlwaysRepliesFive) {
  RecordingReporter recording;
  recording.Initialize();
  std::vector<uint8_t> block;
  ASSERT_EQ(PackMessageTable(std::vector<MessageDefinition>{{904, 7, "Other", "x"}}, &block),
            MessageTableOk);
  recording.AddMessages(block);
  EXPECT_EQ(recording.Throw(MsgNoRecords), SeverityInform);
  EXPECT_EQ(recording.Throw(MsgFileUsageError), 42);
  EXPECT_EQ(recording.Throw(MessageNumber{904}), 42);  // other goes to internal
  EXPECT_EQ(recording.calls, "inform internal internal ");
  EXPECT_FALSE(halts.halted());
}

TEST_F(ErrorReporterTest, TextWithoutPlaceholdersIsShownUnchanged) {
  messages.Expect("No Records", "", ButtonOk);
  reporter.Throw(MsgNoRecords);
  EXPECT_EQ(messages.last().request.text, "There are no records available to process.");
}

TEST_F(ErrorReporterTest, FileSystemErrorShowsTheDriversAccount) {
  reporter.SetFile("CUSTOMER");
  runtime::SetFileError(runtime::ErrorFileSystem, "10", "disk I/O error");
  messages.Expect("File Creation Error", "", ButtonOk);
  reporter.Throw(MsgFileCreationError);
  EXPECT_EQ(messages.last().request.text,
            "Error: (disk I/O error (10)) creating CUSTOMER.  Press OK to end this application");

  runtime::SetError(runtime::ErrorAccessDenied);
  messages.Expect("File Creation Error", "", ButtonOk);
  reporter.Throw(MsgFileCreationError);
  EXPECT_EQ(messages.last().request.text,
            "Error: (Access Denied (5)) creating CUSTOMER.  Press OK to end this application");
}

TEST_F(ErrorReporterTest, LongerPlaceholdersAreNeverReadAsTheirShorterStart) {
  runtime::SetFileError(runtime::ErrorFileSystem, "SQLITE_FULL", "database or disk is full");
  reporter.SetFile("ITEMS");
  EXPECT_EQ(Shown("[%ErrorText] [%Error] [%ErrorCode] [%Errors]"),
            "[database or disk is full (SQLITE_FULL)] [File System Error] [90] [File System "
            "Errors]");
  EXPECT_EQ(Shown("[%FileErrorCode] [%FileError] [%File] [%Files]", 1001),
            "[SQLITE_FULL] [database or disk is full] [ITEMS] [ITEMSs]");
}

TEST_F(ErrorReporterTest, EveryOccurrenceIsReplacedCaseSensitively) {
  reporter.FIELDNAME = "CUS:NAME";
  reporter.MESSAGETEXT = "1 and 9";
  EXPECT_EQ(Shown("%Field %Field %field %MESSAGE %Message%Message"),
            "CUS:NAME CUS:NAME %field %MESSAGE 1 and 91 and 9");
}

TEST_F(ErrorReporterTest, InsertedTextIsNotSearchedAgain) {
  reporter.SetFile("%Message");
  reporter.FIELDNAME = "%File";
  reporter.MESSAGETEXT = "%Previous";
  EXPECT_EQ(Shown("%File/%Field/%Message"), "%Message/%File/%Previous");
}

TEST_F(ErrorReporterTest, PreviousBringsInTheOverriddenTextUnchanged) {
  AddTable({{9, SeverityQuestion, "Confirm Delete", "%Previous  It cannot be undone."}});
  messages.Expect("Confirm Delete", "", ButtonNo);
  EXPECT_EQ(reporter.Throw(MsgConfirmDelete), SeverityCancelled);
  EXPECT_EQ(messages.last().request.text,
            "Are you sure you want to delete the highlighted record?  It cannot be undone.");
  EXPECT_EQ(reporter.CurrentMessage(), &reporter.MESSAGES.back());

  // Placeholders inside the earlier text stay as they are.
  reporter.SetFile("ITEMS");
  AddTable({{30, SeverityInform, "RI", "%Previous!"}});
  messages.Expect("RI", "", ButtonOk);
  reporter.Throw(MsgDeleteRestricted);
  EXPECT_EQ(messages.last().request.text,
            "This record is referenced from the file %File. This record cannot be deleted while "
            "these references exist.!");
}

TEST_F(ErrorReporterTest, PreviousWithoutEarlierEntryVanishes) {
  EXPECT_EQ(Shown("before %Previous after"), "before  after");
}

TEST_F(ErrorReporterTest, LaterTablesWinTheLookUp) {
  AddTable({{22, SeverityNone, "Silent", "no box"}});
  EXPECT_EQ(reporter.Throw(MsgNoRecords), SeverityNone);
  AddTable({{22, SeverityInform, "Loud", "box"}});
  messages.Expect("Loud", "box", ButtonOk);
  EXPECT_EQ(reporter.Throw(MsgNoRecords), SeverityInform);
}

TEST_F(ErrorReporterTest, SubstitutionIsCutAtTwoThousandCharacters) {
  reporter.MESSAGETEXT = std::string(300, 'm');  // kept to 255 when used
  std::string text;
  for (int i = 0; i < 30; ++i) text += "%Message";
  std::string shown = Shown(text);
  EXPECT_EQ(shown, std::string(2000, 'm'));

  AddTable({{1002, SeverityStop, "Long", text}});
  messages.Expect("Long", "", ButtonOk);
  reporter.Throw(MessageNumber{1002});
  EXPECT_EQ(messages.last().request.text,
            std::string(2000, 'm') + "  Press OK to end this application");
}

TEST_F(ErrorReporterTest, ValuesAreTrimmedClippedAndPersistUntilReplaced) {
  reporter.SetFile("CUSTOMER    ");
  EXPECT_EQ(reporter.FILENAME, "CUSTOMER");
  reporter.SetFile(std::string(300, 'f'));
  EXPECT_EQ(reporter.FILENAME.size(), 255u);

  runtime::SetFileError(runtime::ErrorFileSystem, "5  ", "locked   ");
  reporter.CaptureErrorState();
  EXPECT_EQ(reporter.SAVEDERRORTEXT, "File System Error");
  EXPECT_EQ(reporter.SAVEDFILEERRORCODE, "5");
  EXPECT_EQ(reporter.SAVEDFILEERRORTEXT, "locked");

  reporter.SetFile("INVOICEL");
  messages.Expect("Duplicate Key Error", "", ButtonOk);
  EXPECT_EQ(reporter.ThrowMessage(MsgDuplicateKey, std::string(256, 'k')), SeverityInform);
  EXPECT_EQ(reporter.MESSAGETEXT.size(), 255u);
  messages.Expect("Record was not updated", "", ButtonOk);
  reporter.TakeError(MsgRecordNotUpdated);  // no new capture: the last snapshot stays
  EXPECT_EQ(messages.last().request.text,
            "An error (locked (5)) was experienced when making changes to the INVOICEL file.");
}

TEST_F(ErrorReporterTest, AskUsesTheCallersButtonsAndWarningIcon) {
  messages.Expect("Record Update Error", "save again", ButtonCancel);
  EXPECT_EQ(reporter.Ask(MsgUpdateErrorRetry, ButtonYes | ButtonNo | ButtonCancel, ButtonYes),
            ButtonCancel);
  const runtime::MessageRequest& box = messages.last().request;
  EXPECT_EQ(box.buttons, ButtonYes | ButtonNo | ButtonCancel);
  EXPECT_EQ(box.defaultButton, ButtonYes);
  EXPECT_EQ(box.icon, runtime::IconExclamation);
}

TEST_F(ErrorReporterTest, UnknownNumberNamesItAndNeverConfirms) {
  runtime::SetError(runtime::ErrorRecordHeld);
  messages.Expect("Unknown Message", "Message 4711 is not defined.", ButtonOk);
  EXPECT_EQ(reporter.Throw(MessageNumber{4711}), SeverityInform);
  EXPECT_NE(messages.last().request.text.find("Record Is Already Held (43)"), std::string::npos);
  EXPECT_EQ(reporter.CurrentMessage(), nullptr);
  EXPECT_EQ(reporter.Substitute(), "");

  messages.Expect("Unknown Message", "4712", ButtonOk);
  EXPECT_EQ(reporter.Ask(MessageNumber{4712}, ButtonYes | ButtonNo | ButtonCancel, ButtonYes),
            ButtonCancel);
  messages.Expect("Unknown Message", "4713", ButtonOk);
  EXPECT_EQ(reporter.Ask(MessageNumber{4713}, ButtonYes | ButtonNo, ButtonYes), ButtonNo);
  EXPECT_FALSE(halts.halted());
}

TEST_F(ErrorReporterTest, ThrowAfterShutdownIsAnUnknownNumberNotACrash) {
  reporter.Shutdown();
  messages.Expect("Unknown Message", "Message 9 ", ButtonOk);
  EXPECT_EQ(reporter.Throw(MsgConfirmDelete), SeverityInform);
}

TEST_F(ErrorReporterTest, BadTableIsRefusedAndChangesNothing) {
  std::vector<uint8_t> block = {2, 0, 9, 0, SeverityNone, 0, 0};  // counts two, holds one
  EXPECT_EQ(reporter.AddMessages(block), MessageTableTruncated);
  EXPECT_EQ(reporter.MESSAGES.size(), 39u);
  messages.Expect("Confirm Delete", "", ButtonYes);
  EXPECT_EQ(reporter.Throw(MsgConfirmDelete), SeverityNone);
}

}  // namespace
}  // namespace ledora::data
