// The report designer in the real program window, driven with the mouse and
// the keyboard through the X server (xdotool): a new layout for "Items", its
// detail band, two fields placed by Insert control, one moved with the
// mouse, the two aligned, saved as "Mine", the designer closed and opened
// again on "Mine", where a click still finds the moved field. What was
// saved is read back from the designs file, and printed by `ledora print`.
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "layout/content_data.h"
#include "layout/design_database.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/values/fixed_string.h"
#include "tests/app_window/program_window_test_base.h"

namespace ledora::testing {
namespace {

struct SavedField {
  std::string name;
  int32_t x = 0;
  int32_t y = 0;
};

// The field controls of the design named name, in stored order.
std::vector<SavedField> SavedFields(const std::string& folder, const std::string& name) {
  runtime::SqliteDriver driver;
  layout::DesignDatabase designs(driver);
  designs.DefinitionsFile = folder + "/RptDes1.KDS";
  designs.DesignsFile = folder + "/NewRpt.KDS";
  designs.BuildTableNames();
  std::vector<SavedField> fields;
  if (!designs.Use(layout::R_Design) || !designs.Use(layout::R_Content)) return fields;
  int32_t number = 0;
  runtime::DataFile& design = *designs.File(layout::R_Design);
  if (design.SetOrder(layout::DesignRecord::DESIGNNUMBERKEY) == 0) {
    while (design.Next() == 0) {
      if (runtime::ClippedField(layout::R_D.DESIGNNAME) == name) number = layout::R_D.DESIGNNUMBER;
    }
  }
  layout::R_C = {};
  layout::R_C.DESIGNNUMBER = number;
  runtime::DataFile& contents = *designs.File(layout::R_Content);
  if (number != 0 && contents.SetOnKey(layout::ContentRecord::DESIGNNUMBERSEQ) == 0) {
    while (contents.Next() == 0 && layout::R_C.DESIGNNUMBER == number) {
      if (layout::R_C.RECORDTYPE[0] != 'C') continue;
      layout::ControlData c = layout::DecodeControl(layout::R_C.THEDATA);
      fields.push_back({c.fieldName, c.x, c.y});
    }
  }
  designs.Release(layout::R_Content);
  designs.Release(layout::R_Design);
  return fields;
}

class DesignerWindowTest : public ProgramWindowTest {
 protected:
  void SetUp() override {
    ProgramWindowTest::SetUp();
    if (IsSkipped()) return;
    StartProgram();
    ASSERT_TRUE(WaitFor([&] { return !Named(kFrameTitle).empty(); }, 20));
    frame_ = Named(kFrameTitle);
    Run("xdotool windowmove --sync " + frame_ + " 0 0");
    Run("xdotool windowsize --sync " + frame_ + " 1270 1000");
    Keys(frame_, "Escape");  // the splash
  }

  void Run(const std::string& command) {
    ASSERT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0) << command;
  }
  void Pause(double seconds) { usleep(static_cast<useconds_t>(seconds * 1e6)); }
  // Points are relative to the frame window, in pixels.
  void Click(int x, int y, double wait = 0.8) {
    Run("xdotool mousemove --window " + frame_ + " " + std::to_string(x) + " " + std::to_string(y) +
        " click 1");
    Pause(wait);
  }
  void Press(const std::string& keys) {
    Run("xdotool key " + keys);
    Pause(0.8);
  }
  void OpenDesigner() {
    Click(249, 8, 0.6);  // the "Report Designer" menu
    Click(273, 29, 2);   // its entry
  }
  // Insert control asks the control properties: kind Field, then the field
  // (its list starts with "Pagenumber"), then OK.
  void InsertField(int x, const std::string& rowKeys) {
    Click(751, 107, 0.6);                      // New control
    Click(x, 241, 1.5);                        // on the detail band
    Run("xdotool mousemove 646 402 click 1");  // the control type list
    Pause(0.8);
    Press("Down Return");                      // from String to Field
    Run("xdotool mousemove 645 428 click 1");  // the field list
    Pause(0.8);
    Press(rowKeys.empty() ? "Down Return" : rowKeys + " Return");
    Run("xdotool mousemove 626 598 click 1");  // OK
    Pause(1);
  }

  std::string frame_;
};

TEST_F(DesignerWindowTest, ALayoutMadeWithMouseAndKeysIsThereWhenOpenedAgain) {
  OpenDesigner();
  Click(90, 107, 1.5);  // New
  Press("End");         // "Items", the last report type
  Press("Return");
  Click(586, 107, 1.5);  // New band
  Press("End");          // the detail band "Item"
  Press("Return");
  InsertField(160, "");                // the first field: Item description
  InsertField(500, "Down Down Down");  // after the number: Item price
  std::vector<SavedField> none = SavedFields(data_.path(), "Mine");
  EXPECT_TRUE(none.empty());

  // Drag the description to the right, then align it under the price.
  Run("xdotool mousemove --window " + frame_ + " 170 241 mousedown 1");
  Pause(0.2);
  Run("xdotool mousemove --window " + frame_ + " 200 241");
  Pause(0.2);
  Run("xdotool mousemove --window " + frame_ + " 260 241 mouseup 1");
  Pause(0.5);
  Click(520, 241);  // the price becomes the reference
  Run("xdotool keydown ctrl");
  Click(290, 243);  // ... and the description is tagged
  Run("xdotool keyup ctrl");
  Click(156, 107);  // Align left

  Click(453, 107, 1.5);                      // Save as
  Run("xdotool mousemove 617 539 click 1");  // its name entry
  Pause(0.5);
  Run("xdotool type --delay 80 Mine");
  Press("Return");
  std::vector<SavedField> saved = SavedFields(data_.path(), "Mine");
  ASSERT_EQ(saved.size(), 2u);
  EXPECT_EQ(saved[0].name, "ITE:DESCRIPTION");
  EXPECT_EQ(saved[1].name, "ITE:PRICE");
  EXPECT_EQ(saved[0].x, saved[1].x);  // aligned left on the price
  EXPECT_GT(saved[0].x, 2000);        // far right of where it was placed

  Click(122, 107, 1.5);  // Exit
  OpenDesigner();
  Click(57, 107, 1.5);  // Open: the dialog starts on "Items" / "Mine"
  Press("Return");
  Click(520, 241);  // the description, where it was left
  Press("Right");
  Click(22, 107, 1.5);  // Save
  std::vector<SavedField> again = SavedFields(data_.path(), "Mine");
  ASSERT_EQ(again.size(), 2u);
  EXPECT_EQ(again[0].x, saved[0].x + 40);
  EXPECT_EQ(again[1].x, saved[1].x);

  // The printed layout shows the two fields' values of every item.
  Click(122, 107, 1.5);  // Exit
  std::ofstream(data_.File("items.csv"))
      << "ITE:ITEMNR,ITE:DESCRIPTION,ITE:PRICE\n1701,Hex bolt M8,12.75\n1702,Wing nut M6,3.40\n";
  std::string ledora =
      "'" + (ExeFolder().parent_path() / "ledora").string() + "' --data '" + data_.path() + "' ";
  Run(ledora + "import ITEMS items.csv");
  std::string pdf = data_.File("mine.pdf");
  Run(ledora + "print items --design Mine --pdf '" + pdf + "'");
  std::string text = Output("pdftotext '" + pdf + "' -");
  // The description's control is narrow: its text wraps after the first word.
  for (const char* value : {"Hex", "bolt M8", "Wing", "nut M6", "12.75", "3.40"}) {
    EXPECT_NE(text.find(value), std::string::npos) << value << " in:\n" << text;
  }
}

}  // namespace
}  // namespace ledora::testing
