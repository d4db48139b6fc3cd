#include "runtime/system/message_service.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "runtime/system/scripted_message_service.h"
#include "tests/support/scripted_messages.h"

namespace ledora::runtime {
namespace {

MessageRequest Question(std::string caption, std::string text) {
  MessageRequest request;
  request.caption = std::move(caption);
  request.text = std::move(text);
  request.icon = IconExclamation;
  request.buttons = ButtonYes | ButtonNo;
  request.defaultButton = ButtonYes;
  return request;
}

// Nobody is there to answer: a Yes would only bring the same question back.
TEST(MessageServiceTest, FallbackPrintsAndTakesTheFailurePathOfAQuestion) {
  SetMessageService(nullptr);
  ::testing::internal::CaptureStderr();
  uint32_t answer = Messages().Show(Question("Auto Increment Error", "Try Again?"));
  std::string printed = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(answer, ButtonNo);
  EXPECT_NE(printed.find("Auto Increment Error"), std::string::npos);
  EXPECT_NE(printed.find("Try Again?"), std::string::npos);
  MessageRequest retry = Question("Record Update Error", "");
  retry.buttons = ButtonYes | ButtonNo | ButtonCancel;
  EXPECT_EQ(UnattendedAnswer(retry), ButtonCancel);
  MessageRequest note = Question("Range Error", "");
  note.buttons = note.defaultButton = ButtonOk;
  EXPECT_EQ(UnattendedAnswer(note), ButtonOk);
}

TEST(MessageServiceTest, InstalledServiceTakesOverUntilReset) {
  ScriptedMessageService scripted;
  SetMessageService(&scripted);
  scripted.ExpectAny(ButtonNo);
  EXPECT_EQ(Messages().Show(Question("A", "B")), ButtonNo);
  SetMessageService(nullptr);
  EXPECT_NE(&Messages(), &scripted);
  EXPECT_EQ(scripted.shown().size(), 1u);
}

TEST(ScriptedMessageServiceTest, AnswersInScriptedOrderAndRecordsEveryBox) {
  ScriptedMessageService scripted;
  scripted.Expect("Confirm Delete", "highlighted record", ButtonNo);
  scripted.Expect("", "try again", ButtonYes);
  EXPECT_EQ(scripted.Show(Question("Confirm Delete", "Delete the highlighted record?")), ButtonNo);
  EXPECT_EQ(scripted.Show(Question("Anything", "Do you want to try again?")), ButtonYes);
  ASSERT_EQ(scripted.shown().size(), 2u);
  const MessageRequest& first = scripted.shown()[0].request;
  EXPECT_EQ(first.caption, "Confirm Delete");
  EXPECT_EQ(first.icon, IconExclamation);
  EXPECT_EQ(first.buttons, ButtonYes | ButtonNo);
  EXPECT_EQ(first.defaultButton, ButtonYes);
  EXPECT_TRUE(scripted.Problems().empty());
}

TEST(ScriptedMessageServiceTest, BoxNobodyScriptedGetsItsDefaultAndIsReported) {
  ScriptedMessageService scripted;
  MessageRequest request = Question("Surprise", "Unexpected question");
  request.defaultButton = ButtonNo;
  EXPECT_EQ(scripted.Show(request), ButtonNo);
  ASSERT_EQ(scripted.Unexpected().size(), 1u);
  EXPECT_NE(scripted.Problems().find("Surprise"), std::string::npos);
}

TEST(ScriptedMessageServiceTest, MismatchLeavesTheAnswerForALaterBox) {
  ScriptedMessageService scripted;
  scripted.Expect("Record Added", "", ButtonNo);
  EXPECT_EQ(scripted.Show(Question("Confirm Delete", "x")), ButtonYes);  // the default
  EXPECT_EQ(scripted.Show(Question("Record Added", "y")), ButtonNo);
  EXPECT_EQ(scripted.Unexpected().size(), 1u);
  EXPECT_TRUE(scripted.unused().empty());
}

TEST(ScriptedMessageServiceTest, AnswerWithButtonNotOfferedIsAProblem) {
  ScriptedMessageService scripted;
  scripted.ExpectAny(ButtonCancel);
  EXPECT_EQ(scripted.Show(Question("Q", "Yes or no?")), ButtonYes);
  EXPECT_EQ(scripted.Unexpected().size(), 1u);
}

TEST(ScriptedMessagesTest, UnusedAnswerFailsTheTest) {
  EXPECT_NONFATAL_FAILURE(
      {
        testing::ScriptedMessages messages;
        messages.Expect("Never", "shown", ButtonOk);
      },
      "unused answer");
}

TEST(ScriptedMessagesTest, UnexpectedBoxFailsTheTest) {
  EXPECT_NONFATAL_FAILURE(
      {
        testing::ScriptedMessages messages;
        Messages().Show(Question("Stray", "box"));
      },
      "Stray");
}

TEST(ScriptedMessagesTest, RestoresThePreviousServiceAndPassesWhenAllWentAsScripted) {
  MessageService* before = &Messages();
  {
    testing::ScriptedMessages messages;
    messages.Expect("Q", "", ButtonNo);
    EXPECT_EQ(Messages().Show(Question("Q", "?")), ButtonNo);
    EXPECT_EQ(messages.last().request.caption, "Q");
    EXPECT_TRUE(messages.Verify());
  }
  EXPECT_EQ(&Messages(), before);
}

}  // namespace
}  // namespace ledora::runtime
