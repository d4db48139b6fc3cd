// A report from the menu in a real window: Reports, Items shows the
// progress window and then the print preview; the preview leaves with
// Escape and opens again with the geometry it was left with.
#include <chrono>
#include <string>

#include "tests/app_window/demo_folder.h"
#include "tests/app_window/program_window_test_base.h"

namespace ledora::testing {
namespace {

class ReportWindowTest : public ProgramWindowTest {
 protected:
  void SetUp() override {
    ProgramWindowTest::SetUp();
    if (IsSkipped()) return;
    // Enough items for the progress window to stay a moment.
    FillDemoFolder(data_.path(), {.customers = 5, .items = 400000, .invoices = 2});
    if (HasFailure()) return;
    StartProgram();
  }

  // Reports, Items from the keyboard; the frame's menu may miss a key while
  // another window takes the focus for a moment, so it is tried again.
  std::string OpenItemsPreview(const std::string& frame, bool* sawProgress) {
    std::string preview;
    for (int attempt = 0; attempt < 4 && preview.empty(); ++attempt) {
      Keys(frame, "alt+r Down Return");
      // Polled without a pause: on a busy machine the progress window may
      // show for less than the usual polling interval. A loaded machine may
      // take long over 400,000 items; pressing the keys again meanwhile
      // would start a second report.
      auto until = std::chrono::steady_clock::now() + std::chrono::seconds(90);
      while (preview.empty() && std::chrono::steady_clock::now() < until) {
        *sawProgress = *sawProgress || !Named("Items").empty();
        preview = Named("Report Preview");
      }
    }
    return preview;
  }
  std::string Geometry(const std::string& window) {
    return Output("xdotool getwindowgeometry " + window + " | tail -n +2");
  }
};

TEST_F(ReportWindowTest, ItemsShowProgressThenThePreviewWhichReopensAsItWasLeft) {
  std::string frame;
  ASSERT_TRUE(WaitFor([&] { return !(frame = Named(kFrameTitle)).empty(); }, 30));
  ASSERT_TRUE(WaitFor([&] { return Visible().size() == 1; }, 20)) << "the splash stayed";

  bool sawProgress = false;
  std::string preview = OpenItemsPreview(frame, &sawProgress);
  ASSERT_FALSE(preview.empty()) << "no preview";
  EXPECT_TRUE(sawProgress) << "no progress window";
  EXPECT_TRUE(Named("Items").empty()) << "the progress window stayed";
  std::string left = Geometry(preview);
  Output("import -window root '" + (ExeFolder() / "report_preview_window.png").string() + "'");

  ASSERT_TRUE(WaitFor(
      [&] {
        Keys(preview, "Escape");
        return Named("Report Preview").empty();
      },
      10))
      << "Escape did not leave the preview";
  EXPECT_FALSE(Exited(nullptr));

  bool again = false;
  preview = OpenItemsPreview(frame, &again);
  ASSERT_FALSE(preview.empty()) << "no preview the second time";
  EXPECT_EQ(Geometry(preview), left);
  Keys(preview, "Escape");
}

}  // namespace
}  // namespace ledora::testing
