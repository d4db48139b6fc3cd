// The designer's tools in the real program. The properties box: opened from
// the designer's toolbar as a floating window, rolled up with its roll
// button, closed with its close button, and opened again where it was,
// still rolled up, with its place kept in the data folder's qrptdes.ini.
// The picture editor: "@N-*12.2" built with the keyboard for a new field
// control and saved with the design.
#include <sstream>
#include <string>
#include <vector>

#include "runtime/ini/ini_file.h"
#include "tests/app_window/designer_program_test.h"

namespace ledora::testing {
namespace {

class PropertiesBoxWindowTest : public DesignerProgramTest {
 protected:
  std::string Box() {
    std::string box;
    WaitFor([&] { return !(box = Named("Controls and fields")).empty(); }, 10);
    return box;
  }
  // A point of the box given in its own units (105 wide, 123 high when
  // rolled down), in pixels.
  void ClickBox(const std::string& box, int x, int y) {
    Geometry g = GeometryOf(box);
    ClickIn(box, x * g.width / 105, y * g.width / 105, 1);
  }
  std::string Ini(const char* key) {
    return runtime::ReadIniValue(data_.File("qrptdes.ini"), "PropertiesBox", key).value_or("");
  }
};

TEST_F(PropertiesBoxWindowTest, RolledUpAndClosedItOpensAgainWhereItWasRolledUp) {
  OpenDesigner();
  Click(387, 120, 2);  // the properties box's toolbar button
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

  Click(387, 120, 2);
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
    std::vector<std::string> pictures;
    for (const layout::ControlData& c : SavedControls(name)) pictures.push_back(c.picture);
    return pictures;
  }
};

TEST_F(PictureEditorWindowTest, ANumericPictureBuiltWithTheKeyboard) {
  OpenDesigner();
  Click(90, 120, 1.5);                         // New
  Press("End Return");                         // "Items"
  Click(586, 120, 1.5);                        // New band
  Press("End Return");                         // its detail band
  Click(751, 120, 0.6);                        // New control
  Click(160, 272, 1.5);                        // on the detail band
  Click(646, 402, 0.8);                        // the control type list
  Press("Down Return");                        // from String to Field
  Shell("xdotool mousemove 645 428 click 1");  // the field list
  Pause(0.8);
  Press("Down Down Return");                   // "Item number", past "Pagenumber"
  Shell("xdotool mousemove 804 452 click 1");  // the picture's "..."
  Pause(1.5);
  // "Item number" is "@n-13": the editor starts on Numeric, with a leading sign.
  Press("space", 1);                           // Numeric chosen: the total size takes the focus
  Press("ctrl+a 1 2 Tab");                     // total size 12
  Press("ctrl+a 2 Tab Tab");                   // places 2, the sign stays Leading
  Press("Down Down", 1);                       // filling: Asterisk
  Shell("xdotool mousemove 737 610 click 1");  // the editor's OK
  Pause(1);
  Shell("xdotool mousemove 626 598 click 1");  // the control's OK
  Pause(1);
  Click(453, 120, 1.5);                        // Save as
  Shell("xdotool mousemove 617 539 click 1");  // its name entry
  Pause(0.5);
  Shell("xdotool type --delay 80 Mine");
  Press("Return", 1.5);
  EXPECT_EQ(SavedPictures("Mine"), std::vector<std::string>{"@N-*12.2"});
}

}  // namespace
}  // namespace ledora::testing
