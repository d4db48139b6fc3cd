// The keyboard goes where the user looks: a window that opens takes the
// keys, and closing it gives them back to the window it came from. Keys are
// pressed wherever the focus is, as a user presses them, never sent to a
// chosen window.
#include <chrono>
#include <string>
#include <thread>

#include "tests/app_window/demo_folder.h"
#include "tests/app_window/program_window_test_base.h"

namespace ledora::testing {
namespace {

constexpr char kPreview[] = "Report Preview";

class FocusWindowTest : public ProgramWindowTest {
 protected:
  void SetUp() override {
    ProgramWindowTest::SetUp();
    if (IsSkipped()) return;
    FillDemoFolder(data_.path(), {.customers = 40, .items = 150, .invoices = 30});
    if (HasFailure()) return;
    StartProgram();
    frame_ = FrameReady();
    ASSERT_FALSE(frame_.empty());
  }

  // A browse from the Browse menu (0 customers, 1 items, 2 invoices); it
  // opens inside the frame, out of the X server's sight.
  void Browse(int entry) {
    std::string keys = "alt+b";
    for (int i = 0; i < entry; ++i) keys += " Down";
    Keys(frame_, keys + " Return");
    std::this_thread::sleep_for(std::chrono::seconds(2));
  }
  // Whether a window of that title shows within a few seconds.
  bool Shows(const std::string& title, double seconds = 4) {
    return WaitFor([&] { return !Named(title).empty(); }, seconds);
  }
  std::string Shot(const std::string& window, const std::string& name) {
    std::string path = (ExeFolder() / name).string();
    Output("import -window " + window + " " + path);
    return Output("md5sum < " + path);
  }

  std::string frame_;
};

TEST_F(FocusWindowTest, DownAndEnterReachTheDesignSelectionNotTheListBehind) {
  Browse(0);
  ASSERT_FALSE(OpenWith(frame_, "alt+r Return Return", "Select design to print").empty());
  PressKeys("Down");
  PressKeys("Return");
  EXPECT_TRUE(Shows(kPreview, 20)) << "Enter did not print the chosen design";
  EXPECT_TRUE(Named("Changing a Customers Record").empty()) << "Enter went to the list behind";
}

TEST_F(FocusWindowTest, DigitsReachTheInvoiceRangeWindow) {
  Browse(2);
  ASSERT_FALSE(OpenWith(frame_, "alt+r Down Down Return", "Print Invoices").empty());
  Output("xdotool type --delay 80 5");
  PressKeys("Tab Tab");  // past the look-up button
  Output("xdotool type --delay 80 5");
  PressKeys("Return");
  EXPECT_TRUE(Shows(kPreview, 20)) << "the range window did not print";
  EXPECT_TRUE(Named("Changing a Invoices Record").empty()) << "the digits went to the list";
}

TEST_F(FocusWindowTest, PageDownTurnsThePageOfANewPreview) {
  std::string preview = OpenWith(frame_, "alt+r Down Return", kPreview);
  ASSERT_FALSE(preview.empty());
  std::this_thread::sleep_for(std::chrono::seconds(1));
  std::string first = Shot(preview, "focus_preview_first.png");
  PressKeys("Next");
  EXPECT_TRUE(WaitFor([&] { return Shot(preview, "focus_preview_next.png") != first; }, 4))
      << "Page Down did not reach the preview";
}

TEST_F(FocusWindowTest, F1InANewPreviewAndItsDialogsShowsTheirTopics) {
  std::string preview = OpenWith(frame_, "alt+r Down Down Down Return", kPreview);
  ASSERT_FALSE(preview.empty());
  PressKeys("F1");
  EXPECT_EQ(HelpTitle("ledora Help - The preview window"), "ledora Help - The preview window");
  Keys(preview, "ctrl+f");
  ASSERT_TRUE(Shows("Find"));
  PressKeys("F1");
  EXPECT_EQ(HelpTitle("ledora Help - Find"), "ledora Help - Find");
}

TEST_F(FocusWindowTest, TheListAFormCameFromIsActiveAfterTheFormCloses) {
  Browse(0);
  Browse(1);
  Browse(2);
  Keys(frame_, "alt+w");
  Keys(frame_, "1");
  for (const char* leave : {"Escape", "Return"}) {
    PressKeys("Insert");
    ASSERT_TRUE(Shows("Adding a Customers Record")) << "Insert did not reach the customers";
    std::string form = Named("Adding a Customers Record");
    if (std::string(leave) == "Return") {
      PressKeys("Tab");
      Output("xdotool type --delay 80 Zeta");
    }
    PressKeys(leave);
    ASSERT_TRUE(WaitFor([&] { return Named("Adding a Customers Record").empty(); }, 5)) << leave;
  }
  PressKeys("Insert");
  EXPECT_TRUE(Shows("Adding a Customers Record")) << "another list took the keys";
  EXPECT_TRUE(Named("Adding a Invoices Record").empty());
}

}  // namespace
}  // namespace ledora::testing
