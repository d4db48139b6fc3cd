#include "runtime/system/halt.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "runtime/system/message_service.h"
#include "tests/support/halt_recorder.h"
#include "tests/support/scripted_messages.h"

namespace ledora::runtime {
namespace {

// Ends the (death-test) process with a code of its own, which proves a box
// was asked for.
class ExitOnShow : public MessageService {
 public:
  uint32_t Show(const MessageRequest&) override { std::_Exit(99); }
};

TEST(HaltTest, HandlerReceivesCodeAndTextAndNothingIsShown) {
  testing::ScriptedMessages messages;  // any box would fail the test
  testing::HaltRecorder halts;
  Halt(7, "Disk Error");
  ASSERT_EQ(halts.calls().size(), 1u);
  EXPECT_EQ(halts.calls()[0].exitCode, 7);
  EXPECT_EQ(halts.calls()[0].text, "Disk Error");
}

TEST(HaltDeathTest, ShowsTextCaptionedHaltThenExits) {
  SetMessageService(nullptr);
  EXPECT_EXIT(Halt(3, "Invalid Key!"), ::testing::ExitedWithCode(3), "\\[Halt\\] Invalid Key!");
}

TEST(HaltDeathTest, EmptyTextExitsWithoutABox) {
  EXPECT_EXIT(
      {
        static ExitOnShow exitOnShow;
        SetMessageService(&exitOnShow);
        Halt(0, "");
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(HaltDeathTest, RemovedHandlerRestoresTheRealHalt) {
  { testing::HaltRecorder halts; }
  SetMessageService(nullptr);
  EXPECT_EXIT(Halt(4, "x"), ::testing::ExitedWithCode(4), "");
}

}  // namespace
}  // namespace ledora::runtime
