// The designer's tools in the real program. The properties box: opened from
// the designer's toolbar as a floating window, rolled up with its roll
// button, closed with its close button, and opened again where it was,
// still rolled up, with its place kept in the data folder's qrptdes.ini.
// The picture editor: "@N-*12.2" built with the keyboard for a new field
// control and saved with the design.
#include <unistd.h>

#include <sstream>
#include <string>
#include <vector>

#include "layout/content_data.h"
#include "layout/design_database.h"
#include "runtime/ini/ini_file.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/values/fixed_string.h"
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
  // Keys to whatever window has the focus.
  void Press(const std::string& keys, double wait = 0.8) {
    Shell("xdotool key --delay 120 " + keys);
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

namespace ledora::testing {
namespace {

class PictureEditorWindowTest : public PropertiesBoxWindowTest {
 protected:
  // The pictures of the controls of the design named name.
  std::vector<std::string> SavedPictures(const std::string& name) {
    runtime::SqliteDriver driver;
    layout::DesignDatabase designs(driver);
    designs.DefinitionsFile = data_.File("RptDes1.KDS");
    designs.DesignsFile = data_.File("NewRpt.KDS");
    designs.BuildTableNames();
    std::vector<std::string> pictures;
    if (!designs.Use(layout::R_Design) || !designs.Use(layout::R_Content)) return pictures;
    runtime::DataFile& design = *designs.File(layout::R_Design);
    int32_t number = 0;
    if (design.SetOrder(layout::DesignRecord::DESIGNNUMBERKEY) == 0) {
      while (design.Next() == 0) {
        if (runtime::ClippedField(layout::R_D.DESIGNNAME) == name)
          number = layout::R_D.DESIGNNUMBER;
      }
    }
    layout::R_C = {};
    layout::R_C.DESIGNNUMBER = number;
    runtime::DataFile& contents = *designs.File(layout::R_Content);
    if (number != 0 && contents.SetOnKey(layout::ContentRecord::DESIGNNUMBERSEQ) == 0) {
      while (contents.Next() == 0 && layout::R_C.DESIGNNUMBER == number) {
        if (layout::R_C.RECORDTYPE[0] != 'C') continue;
        layout::ControlData c = layout::DecodeControl(layout::R_C.THEDATA);
        pictures.push_back(c.picture);
      }
    }
    designs.Release(layout::R_Content);
    designs.Release(layout::R_Design);
    return pictures;
  }
};

TEST_F(PictureEditorWindowTest, ANumericPictureBuiltWithTheKeyboard) {
  Click(frame_, 249, 8, 0.6);                  // the "Report Designer" menu
  Click(frame_, 273, 29, 2);                   // its entry
  Click(frame_, 90, 107, 1.5);                 // New
  Press("End Return");                         // "Items"
  Click(frame_, 586, 107, 1.5);                // New band
  Press("End Return");                         // its detail band
  Click(frame_, 751, 107, 0.6);                // New control
  Click(frame_, 160, 241, 1.5);                // on the detail band
  Click(frame_, 646, 402, 0.8);                // the control type list
  Press("Down Return");                        // from String to Field
  Shell("xdotool mousemove 645 428 click 1");  // the field list
  usleep(800000);
  Press("Down Down Return");                   // "Item number", past "Pagenumber"
  Shell("xdotool mousemove 804 452 click 1");  // the picture's "..."
  usleep(1500000);
  // "Item number" is "@n-13": the editor starts on Numeric, with a leading sign.
  Press("space", 1);                           // Numeric chosen: the total size takes the focus
  Press("ctrl+a 1 2 Tab");                     // total size 12
  Press("ctrl+a 2 Tab Tab");                   // places 2, the sign stays Leading
  Press("Down Down", 1);                       // filling: Asterisk
  Shell("xdotool mousemove 737 610 click 1");  // the editor's OK
  usleep(1000000);
  Shell("xdotool mousemove 626 598 click 1");  // the control's OK
  usleep(1000000);
  Click(frame_, 453, 107, 1.5);                // Save as
  Shell("xdotool mousemove 617 539 click 1");  // its name entry
  usleep(500000);
  Shell("xdotool type --delay 80 Mine");
  Press("Return", 1.5);
  EXPECT_EQ(SavedPictures("Mine"), std::vector<std::string>{"@N-*12.2"});
}

}  // namespace
}  // namespace ledora::testing
