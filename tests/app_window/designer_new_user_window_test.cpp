// The designer as a new user meets it, in the real program under a window
// manager: a layout built with the mouse alone (toolbar icons, fields
// dragged from the properties box, its buttons and its title row), printed
// with `ledora print`; and a browse uncovered while the designer runs,
// painted again. Points are screen pixels of a frame at (0, 0), 1270 wide.
#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/app_window/designer_program_test.h"

namespace ledora::testing {
namespace {

// The designer's toolbar, one button every 33 pixels from the left.
constexpr int kToolbarY = 120;
int Button(int index) { return 24 + index * 33; }  // from 0
enum : int { kSave = 0, kExit = 3, kToolbox = 11, kNew = 2, kNewBand = 17 };

class DesignerNewUserWindowTest : public DesignerProgramTest {
 protected:
  void At(int x, int y, double wait = 0.8) {
    Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
    Pause(wait);
  }
  void Tool(int index) { At(Button(index), kToolbarY, 1.5); }
  std::string Box() {
    std::string box;
    WaitFor([&] { return !(box = Named("Controls and fields")).empty(); }, 10);
    return box;
  }
  std::string Ledora() {
    return "'" + (ExeFolder().parent_path() / "ledora").string() + "' --data '" + data_.path() +
           "' ";
  }
};

TEST_F(DesignerNewUserWindowTest, ALayoutBuiltWithTheMouseOnlyPrintsAndTheBoxStaysWhereLeft) {
  OpenDesigner();
  Tool(kNew);
  At(529, 463);       // "Items" in the report types
  At(548, 572, 1.5);  // Select
  Tool(kNewBand);
  At(542, 455);       // "Item", the detail band
  At(615, 563, 1.5);  // OK
  Tool(kToolbox);
  std::string box = Box();
  ASSERT_FALSE(box.empty());
  Geometry g = GeometryOf(box);
  EXPECT_GT(g.x, 900);  // beside the designer, over none of its menus
  EXPECT_GT(g.y, 130);

  Drag(g.x + 40, g.y + 133, 140, 272);  // "Item description" onto the band
  Drag(g.x + 40, g.y + 149, 400, 272);  // "Item number"
  At(g.x + 155, g.y + 69);              // the string tool
  At(560, 272);                         // ... on the band
  At(g.x + 71, g.y + 91);               // the box's text
  Press("ctrl+a", 0.2);
  Shell("xdotool type --delay 60 'Stock list'");
  Press("Return");
  At(g.x + 60, g.y + 48);                        // Bold
  At(g.x + 47, g.y + 69);                        // right justification
  Drag(g.x + 30, g.y + 7, g.x + 46, g.y + 360);  // the box by its title row
  Geometry moved = GeometryOf(box);
  EXPECT_NEAR(moved.y, g.y + 353, 12);

  Tool(kSave);  // never saved: it asks for the name
  At(617, 539, 0.5);
  Shell("xdotool type --delay 80 Mine");
  At(439, 594, 1.5);  // OK
  std::vector<layout::ControlData> saved = SavedControls("Mine");
  ASSERT_EQ(saved.size(), 3u);
  EXPECT_EQ(saved[0].fieldName, "ITE:DESCRIPTION");
  EXPECT_EQ(saved[1].fieldName, "ITE:ITEMNR");
  EXPECT_EQ(saved[2].picture, "Stock list");
  EXPECT_EQ(saved[2].fontStyle, 700);
  EXPECT_EQ(saved[2].justification, 'R');

  At(moved.x + 155, moved.y + 7);  // the box's close button
  ASSERT_TRUE(WaitFor([&] { return Named("Controls and fields").empty(); }, 10));
  Tool(kToolbox);
  box = Box();
  ASSERT_FALSE(box.empty());
  Geometry again = GeometryOf(box);
  EXPECT_EQ(again.x, moved.x);
  EXPECT_EQ(again.y, moved.y);
  Tool(kExit);

  std::ofstream(data_.File("items.csv"))
      << "ITE:ITEMNR,ITE:DESCRIPTION,ITE:PRICE\n1701,Hex bolt M8,12.75\n1702,Wing nut M6,3.40\n";
  Shell(Ledora() + "import ITEMS '" + data_.File("items.csv") + "'");
  std::string pdf = data_.File("mine.pdf");
  Shell(Ledora() + "print items --design Mine --pdf '" + pdf + "'");
  std::string text = Output("pdftotext '" + pdf + "' -");
  for (const char* value : {"Hex", "Wing", "1,701", "1,702", "Stock list"}) {
    EXPECT_NE(text.find(value), std::string::npos) << value << " in:\n" << text;
  }
  EXPECT_NE(Output("pdffonts '" + pdf + "'").find("Bold"), std::string::npos);
}

// How many colours a part of the screen shows: a painted list of rows has
// its text's many shades, a blank area one or two.
int ColoursIn(const std::string& file, int x, int y, int width, int height) {
  return std::atoi(Output("convert '" + file + "' -crop " + std::to_string(width) + "x" +
                          std::to_string(height) + "+" + std::to_string(x) + "+" +
                          std::to_string(y) + " -format %k info:")
                       .c_str());
}

TEST_F(DesignerNewUserWindowTest, ABrowseUncoveredWhileTheDesignerRunsIsPaintedAgain) {
  std::ofstream(data_.File("customers.csv"))
      << "CUS:CUSTOMERID,CUS:NAME,CUS:ADDRESS1\n0,Adams,1 Mill Way\n0,Baker,2 Oak Street\n"
         "0,Miller,3 High Street\n";
  Shell(Ledora() + "import CUSTOMER '" + data_.File("customers.csv") + "'");
  Click(98, 8, 0.6);  // Browse
  At(162, 29, 2.5);   // Browse Customers
  OpenDesigner();     // over the browse
  std::string shot = data_.File("uncovered.png");
  Click(335, 8, 0.6);  // Window
  At(420, 97, 2.5);    // its first child, the browse, comes out from under the designer
  Shell("import -window root '" + shot + "'");
  // The browse's rows, where the designer lay over them.
  EXPECT_GT(ColoursIn(shot, 60, 170, 300, 50), 10);
}

}  // namespace
}  // namespace ledora::testing
