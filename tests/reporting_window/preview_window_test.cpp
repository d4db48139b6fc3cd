// The print preview in a real window: opened on page images the report
// engine made, driven through the X server (xdotool) as a user drives it,
// and opened a second time to find the place and size it was left with.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <sstream>
#include <thread>

#include "framework/ini_store.h"
#include "reporting/print_preview.h"
#include "runtime/qtwindow/qt_program.h"
#include "tests/app_window/program_window_test_base.h"
#include "tests/reporting/report_pages.h"
#include "tests/support/temp_folder.h"

namespace ledora::testing {
namespace {

// What the preview showed after each of the user's actions.
struct Seen {
  std::string zoom;
  int32_t page = 0;
  size_t hits = 0;
  uint16_t across = 0;
};

class RecordingPreview : public reporting::PrintPreview {
 public:
  RecordingPreview(std::mutex& lock, std::vector<Seen>& log) : lock_(lock), log_(log) {}
  data::Severity HandleEvent() override {
    data::Severity result = PrintPreview::HandleEvent();
    std::lock_guard<std::mutex> hold(lock_);
    log_.push_back({ZOOMLIST, CURRENTPAGE, hits().size(), PAGESACROSS});
    return result;
  }

 private:
  std::mutex& lock_;
  std::vector<Seen>& log_;
};

void Shell(const std::string& command) { std::system((command + " >/dev/null 2>&1").c_str()); }

class PreviewWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X display (xvfb-run)";
    if (Output("command -v xdotool").empty()) GTEST_SKIP() << "needs xdotool";
  }

  std::string Window(const std::string& title) {
    std::string found;
    WaitFor(
        [&] {
          std::istringstream ids(Output("xdotool search --onlyvisible --name '^" + title + "$'"));
          std::getline(ids, found);
          return !found.empty();
        },
        20);
    return found;
  }
  void Keys(const std::string& window, const std::string& keys) {
    Shell("xdotool windowactivate --sync " + window);
    Shell("xdotool windowfocus --sync " + window);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Shell("xdotool key --delay 80 " + keys);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
  void Type(const std::string& text) { Shell("xdotool type --delay 60 '" + text + "'"); }
  bool Saw(const std::function<bool(const Seen&)>& wanted) {
    return WaitFor(
        [&] {
          std::lock_guard<std::mutex> hold(lock_);
          return !log_.empty() && wanted(log_.back());
        },
        10);
  }
  void Shoot(const std::string& name) {
    Shell("import -window root " + (ExeFolder() / name).string());
  }
  std::string Geometry(const std::string& window) {
    std::string text = Output("xdotool getwindowgeometry " + window);
    return text.substr(text.find("Geometry:"));
  }

  TempFolder folder_;
  std::mutex lock_;
  std::vector<Seen> log_;
};

TEST_F(PreviewWindowTest, ZoomPageWidthJumpFindExitAndTheGeometryStays) {
  runtime::PreviewQueue pages = MakeReportPages(folder_.path(), 12);
  ASSERT_EQ(pages.size(), 12u);
  framework::IniStore ini;
  ini.Setup(folder_.File("ledora.INI"));
  int runs = 0;
  std::string leftWith;
  std::string reopenedWith;
  std::thread user([&] {
    std::string preview = Window(reporting::PrintPreview::kTitle);
    ASSERT_FALSE(preview.empty()) << "no preview window";
    // Three pages across, typed into the spin its prompt's mnemonic reaches.
    Keys(preview, "alt+a ctrl+a 3 Return");
    EXPECT_TRUE(Saw([](const Seen& s) { return s.across == 3; })) << "not three across";
    Shoot("preview_tiles.png");
    // A click on the middle page zooms in on it; a click on it then goes back.
    Shell("xdotool mousemove --window " + preview + " 410 350 click 1");
    EXPECT_TRUE(Saw([](const Seen& s) { return s.zoom == "Page Width" && s.page == 2; }))
        << "the click did not zoom in on page 2";
    Shell("xdotool mousemove --window " + preview + " 300 300 click 1");
    EXPECT_TRUE(Saw([](const Seen& s) { return s.zoom == "Tile pages"; })) << "no way back";
    // The zoom list is the edit at the right end of the toolbar row.
    Shell("xdotool windowactivate --sync " + preview);
    Shell("xdotool mousemove --window " + preview + " 630 40 click --repeat 3 1");
    Keys(preview, "ctrl+a");
    Type("150");
    Keys(preview, "Return");
    EXPECT_TRUE(Saw([](const Seen& s) { return s.zoom == "150% Zoom"; })) << "150 not zoomed";
    Shoot("preview_150.png");
    Shell("xdotool mousemove --window " + preview + " 630 40 click --repeat 3 1");
    Keys(preview, "ctrl+a");
    Type("Page Width");
    Keys(preview, "Return");
    EXPECT_TRUE(Saw([](const Seen& s) { return s.zoom == "Page Width"; })) << "no page width";
    Keys(preview, "alt+v j");
    std::string jump = Window("Jump to a Report Page");
    ASSERT_FALSE(jump.empty()) << "no jump dialog";
    Keys(jump, "ctrl+a");
    Type("9");
    Keys(jump, "Return");
    EXPECT_TRUE(Saw([](const Seen& s) { return s.page == 9; })) << "no jump to page 9";
    Keys(preview, "ctrl+f");
    std::string find = Window("Find");
    ASSERT_FALSE(find.empty()) << "no find dialog";
    Type("Total 110");
    Keys(find, "Return");
    EXPECT_TRUE(Saw([](const Seen& s) { return s.hits == 1 && s.page == 11; })) << "not found";
    Shoot("preview_found.png");
    Shell("xdotool windowsize --sync " + preview + " 700 520");
    Shell("xdotool windowmove --sync " + preview + " 60 50");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    leftWith = Geometry(preview);
    Keys(preview, "Escape");
    std::string again = Window(reporting::PrintPreview::kTitle);
    ASSERT_FALSE(again.empty()) << "the preview did not open again";
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    reopenedWith = Geometry(again);
    Keys(again, "Escape");
  });
  int argc = 1;
  char name[] = "preview_window_test";
  char* argv[] = {name, nullptr};
  runtime::RunWithQt(argc, argv, [&] {
    for (; runs < 2; ++runs) {
      RecordingPreview preview(lock_, log_);
      preview.INIMGR = &ini;
      preview.ALLOWUSERZOOM = 1;
      preview.Setup(&pages);
      EXPECT_EQ(preview.Show(), 0);
      preview.Shutdown();
    }
  });
  user.join();
  EXPECT_EQ(runs, 2);
  EXPECT_FALSE(leftWith.empty());
  EXPECT_EQ(reopenedWith, leftWith);
  EXPECT_EQ(ini.ReadValue(reporting::PrintPreview::kIniSection, "Width"), "700");
}

}  // namespace
}  // namespace ledora::testing
