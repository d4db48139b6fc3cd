// The properties box in the real program: opened from the designer's
// toolbar as a floating window, rolled up with its roll button, closed with
// its close button, and opened again where it was, still rolled up, with
// its place kept in the data folder's qrptdes.ini.
#include <unistd.h>

#include <sstream>
#include <string>

#include "runtime/ini/ini_file.h"
#include "tests/app_window/program_window_test_base.h"

namespace ledora::testing {
namespace {

struct Geometry {
  int x = 0, y = 0, width = 0, height = 0;
};

class PropertiesBoxWindowTest : public ProgramWindowTest {
 protected:
  void SetUp() override {
    ProgramWindowTest::SetUp();
    if (IsSkipped()) return;
    StartProgram();
    ASSERT_TRUE(WaitFor([&] { return !Named(kFrameTitle).empty(); }, 20));
    frame_ = Named(kFrameTitle);
    Shell("xdotool windowmove --sync " + frame_ + " 0 0");
    Shell("xdotool windowsize --sync " + frame_ + " 1270 1000");
    Keys(frame_, "Escape");  // the splash
  }
  void Shell(const std::string& command) {
    ASSERT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0) << command;
  }
  void Click(const std::string& window, int x, int y, double wait = 1) {
    Shell("xdotool mousemove --window " + window + " " + std::to_string(x) + " " +
          std::to_string(y) + " click 1");
    usleep(static_cast<useconds_t>(wait * 1e6));
  }
  Geometry GeometryOf(const std::string& window) {
    std::istringstream shell(Output("xdotool getwindowgeometry --shell " + window));
    Geometry g;
    for (std::string line; std::getline(shell, line);) {
      int value = std::atoi(line.substr(line.find('=') + 1).c_str());
      if (line.starts_with("X=")) g.x = value;
      if (line.starts_with("Y=")) g.y = value;
      if (line.starts_with("WIDTH=")) g.width = value;
      if (line.starts_with("HEIGHT=")) g.height = value;
    }
    return g;
  }
  std::string Box() {
    std::string box;
    WaitFor([&] { return !(box = Named("Controls and fields")).empty(); }, 10);
    return box;
  }
  // A point of the box given in its own units (105 wide, 123 high when
  // rolled down), in pixels.
  void ClickBox(const std::string& box, int x, int y) {
    Geometry g = GeometryOf(box);
    Click(box, x * g.width / 105, y * g.width / 105);
  }
  std::string Ini(const char* key) {
    return runtime::ReadIniValue(data_.File("qrptdes.ini"), "PropertiesBox", key).value_or("");
  }

  std::string frame_;
};

TEST_F(PropertiesBoxWindowTest, RolledUpAndClosedItOpensAgainWhereItWasRolledUp) {
  Click(frame_, 249, 8, 0.6);  // the "Report Designer" menu
  Click(frame_, 273, 29, 2);   // its entry
  Click(frame_, 387, 107, 2);  // the properties box's toolbar button
  std::string box = Box();
  ASSERT_FALSE(box.empty());
  Geometry down = GeometryOf(box);
  EXPECT_GT(down.height, down.width);  // 105 by 123, rolled down

  ClickBox(box, 85, 5);  // the roll button
  Geometry up = GeometryOf(box);
  EXPECT_LT(up.height, down.height / 4);
  EXPECT_EQ(up.width, down.width);

  ClickBox(box, 97, 5);  // the close button
  ASSERT_TRUE(WaitFor([&] { return Named("Controls and fields").empty(); }, 10));
  EXPECT_EQ(Ini("RolledDown"), "0");
  EXPECT_EQ(Ini("WindowHeight"), "123");

  Click(frame_, 387, 107, 2);
  box = Box();
  ASSERT_FALSE(box.empty());
  Geometry again = GeometryOf(box);
  EXPECT_EQ(again.height, up.height);
  EXPECT_EQ(again.x, up.x);
  EXPECT_EQ(again.y, up.y);
  ClickBox(box, 85, 5);  // rolled down to the height it had
  EXPECT_EQ(GeometryOf(box).height, down.height);
}

}  // namespace
}  // namespace ledora::testing
