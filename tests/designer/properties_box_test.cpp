#include "designer/properties_box.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "designer/image_file.h"
#include "designer/picture_editor.h"
#include "runtime/ini/ini_file.h"
#include "runtime/values/fixed_string.h"
#include "tests/designer/designer_fixture.h"

namespace ledora::designer {
namespace {

TEST(FontStyleTest, EncodingBothWays) {
  EXPECT_EQ(FontStyleOf(false, false, false), 400);
  EXPECT_EQ(FontStyleOf(true, false, false), 700);
  EXPECT_EQ(FontStyleOf(false, true, false), 4096);
  EXPECT_EQ(FontStyleOf(false, false, true), 8192);
  EXPECT_EQ(FontStyleOf(true, true, false), 4796);
  EXPECT_EQ(FontStyleOf(true, false, true), 8892);
  EXPECT_EQ(FontStyleOf(false, true, true), 12288);
  EXPECT_EQ(FontStyleOf(true, true, true), 12988);
  EXPECT_TRUE(IsBold(4796) && IsItalic(4796) && !IsUnderlined(4796));
  EXPECT_FALSE(IsBold(0) || IsItalic(0) || IsUnderlined(0));
  EXPECT_FALSE(IsBold(400));
}

TEST(ImageFileTest, CurrentFolderByNameOtherFoldersByPath) {
  std::string here = std::filesystem::current_path().string();
  EXPECT_EQ(ImageFileName(here + "/logo.bmp"), "logo.bmp");
  EXPECT_EQ(ImageFileName(here + "/"), "");
  EXPECT_EQ(ImageFileName("/elsewhere/logo.bmp"), "/elsewhere/logo.bmp");
  EXPECT_EQ(ImageFileName(here + "/sub/logo.bmp"), here + "/sub/logo.bmp");
}

// The box beside a stand-in designer window that records what it is sent,
// in a folder of its own (".\qrptdes.ini" is the current folder's), with
// the report type 1 offering the fields "Price" and "Amount".
class PropertiesBoxTest : public DesignerFixture {
 protected:
  PropertiesBoxTest() {
    std::filesystem::current_path(folder.path());
    for (layout::DesignTable t : {layout::R_Fields, layout::R_TypeFields}) {
      EXPECT_EQ(designs.File(t)->Create(), 0);
      EXPECT_TRUE(designs.Use(t));
    }
    AddField(1, "Price");
    AddField(2, "Amount");
    for (layout::DesignTable t : {layout::R_Fields, layout::R_TypeFields}) designs.Release(t);
    control.CONTROLTYPE = layout::KindString;
    control.PICTURE = "Total";
    link.designer = &designer;
    link.selectedControl = [this]() -> const layout::ControlEntry* { return selected; };
    link.reportType = [] { return 1; };
    link.setTool = [this](uint8_t tool) { canvasTool = tool; };
    driver.Start([this] {
      designer.SetTitle("Designer");
      designer.Open();
      runtime::Event event;
      while (designer.Accept(&event)) received.push_back(event.number);
    });
  }
  ~PropertiesBoxTest() override {
    // A dialog the box still shows (after a failure) closes first, so the
    // box stores its place in this test's folder.
    for (int i = 0; i < 3 && link.box != nullptr; ++i) {
      if (driver.Top() != link.box && driver.Top() != &designer) driver.Close();
      if (link.box != nullptr) driver.Close(*link.box);
    }
    driver.Close(designer);
    std::filesystem::current_path(start);
  }
  void AddField(int32_t number, const char* name) {
    layout::R_F = {};
    layout::R_F.FIELDNUMBER = number;
    runtime::AssignPadded(layout::R_F.USERFIELDNAME, name);
    runtime::AssignPadded(layout::R_F.FIELDNAME, name);
    EXPECT_EQ(designs.File(layout::R_Fields)->Add(), 0);
    layout::R_O = {1, number};
    EXPECT_EQ(designs.File(layout::R_TypeFields)->Add(), 0);
  }
  runtime::Window& Open() {
    driver.Start([this] { PropertiesBox(designs, link); });
    EXPECT_NE(link.box, nullptr);
    Look();
    return *link.box;
  }
  // The box gives the focus back to the designer; the driver reads the
  // front window.
  void Look() {
    link.box->Activate();
    driver.Settle();
  }
  void Selected() {
    link.box->Post(EventSelectionChanged);
    driver.Settle();
    Look();
  }
  std::string Ini(const char* key) {
    return runtime::ReadIniValue(".\\qrptdes.ini", "PropertiesBox", key).value_or("");
  }

  std::filesystem::path start = std::filesystem::current_path();
  runtime::Window designer;
  std::vector<int32_t> received;
  layout::ControlEntry control;
  const layout::ControlEntry* selected = &control;
  uint8_t canvasTool = 0;
  PropertiesLink link;
};

TEST_F(PropertiesBoxTest, WithoutAnIniFileItOpensBesideTheDesignerRolledDown) {
  runtime::Window& box = Open();
  EXPECT_EQ(box.geometry(), (runtime::Rect{0, 0, 105, 123}));
  EXPECT_EQ(box.placeBeside(), &designer);
  EXPECT_EQ(box.title(), "Controls and fields");
  EXPECT_EQ(box.Find(BoxRoll)->icon, "~rup.ico");
  EXPECT_EQ(box.Find(BoxRoll)->tip, "Rollup");
  EXPECT_EQ(box.GetRect(BoxFields).height, 123 - 76);
  EXPECT_EQ(driver.RowCount(BoxFields), 2);
  EXPECT_EQ(driver.ShownRow(BoxFields, 1)[0], "Amount");
  EXPECT_EQ(box.Find(BoxFields)->dragId, "DragFromFieldList");
  EXPECT_EQ(driver.RowCount(BoxFontName), 3);  // the screen's families
}

TEST_F(PropertiesBoxTest, ClosingRolledUpKeepsTheFullHeightForTheNextStart) {
  runtime::Window& box = Open();
  box.UserResized(105, 150);
  driver.Press(box, BoxRoll);
  EXPECT_EQ(box.geometry().height, 10);
  EXPECT_EQ(box.Find(BoxRoll)->icon, "~rdown.ico");
  EXPECT_EQ(box.Find(BoxRoll)->tip, "Roll down");
  driver.Press(box, BoxClose);
  EXPECT_EQ(link.box, nullptr);
  EXPECT_EQ(Ini("WindowHeight"), "150");
  EXPECT_EQ(Ini("RolledDown"), "0");
  runtime::Window& again = Open();
  EXPECT_EQ(again.placeBeside(), nullptr);  // where it was left
  EXPECT_EQ(again.geometry().height, 10);
  driver.Press(again, BoxRoll);
  EXPECT_EQ(again.geometry().height, 150);
  EXPECT_EQ(again.GetRect(BoxFields).height, 150 - 76);
}

// The pointer runs ahead of the box while it is dragged: moves that reach
// the window outside the title row or the strips still move or size it.
TEST_F(PropertiesBoxTest, TitleRowAndStripsFollowThePointerBeyondThem) {
  runtime::Window& box = Open();
  box.SetPosition(200, 100);
  auto mouse = [&](int32_t event, int32_t control, int32_t x, int32_t y) {
    box.UserMouse(event, control, x, y,
                  event == runtime::EventMouseUp ? runtime::KeyMouseLeftUp : runtime::KeyMouseLeft);
    driver.Settle();
  };
  mouse(runtime::EventMouseDown, BoxTitleRow, 20, 5);
  mouse(runtime::EventMouseMove, 0, 60, 45);
  mouse(runtime::EventMouseUp, 0, 60, 45);
  EXPECT_EQ(box.geometry().x, 240);
  EXPECT_EQ(box.geometry().y, 140);
  mouse(runtime::EventMouseDown, BoxSizer, 50, 121);
  mouse(runtime::EventMouseMove, 0, 50, 180);
  mouse(runtime::EventMouseUp, 0, 50, 180);
  EXPECT_EQ(box.geometry().height, 180);
  EXPECT_EQ(box.GetRect(BoxFields).height, 180 - 76);
  mouse(runtime::EventMouseDown, BoxWidthSizer, 103, 60);
  mouse(runtime::EventMouseMove, 0, 150, 60);
  mouse(runtime::EventMouseUp, 0, 150, 60);
  EXPECT_EQ(box.geometry().width, 150);
  EXPECT_EQ(box.GetRect(BoxClose).x + box.GetRect(BoxClose).width, 150 - 2);
  mouse(runtime::EventMouseDown, BoxWidthSizer, 148, 60);
  mouse(runtime::EventMouseMove, 0, 40, 60);  // never narrower than it was made
  EXPECT_EQ(box.geometry().width, 105);
}

TEST_F(PropertiesBoxTest, ShowsTheSelectedControlWithInheritedFontAndSize) {
  Open();
  EXPECT_EQ(driver.Shown(BoxFontName), "Arial");
  EXPECT_EQ(driver.Shown(BoxFontSize), "10");
  EXPECT_EQ(driver.Shown(BoxText), "Total");
  control.FONTNAME = "Courier New";
  control.FONTSTYLE = 4796;
  control.FONTSIZE = 14;
  control.JUSTIFICATION = 'C';
  Selected();
  EXPECT_EQ(driver.Selection(BoxFontName), 2);
  EXPECT_EQ(driver.Shown(BoxFontSize), "14");
  EXPECT_TRUE(driver.IsChecked(BoxBold));
  EXPECT_TRUE(driver.IsChecked(BoxItalic));
  EXPECT_FALSE(driver.IsChecked(BoxUnderline));
  EXPECT_TRUE(driver.IsChecked(BoxJustification + 2));
  control.CONTROLTYPE = layout::KindBox;
  Selected();
  EXPECT_EQ(driver.Shown(BoxText), "");
  EXPECT_FALSE(driver.IsEnabled(BoxText));
  EXPECT_FALSE(driver.IsEnabled(BoxMore));
}

TEST_F(PropertiesBoxTest, EveryChangeAppliesThroughTheSharedValues) {
  runtime::Window& box = Open();
  received.clear();
  driver.Press(box, BoxBold);
  driver.Press(box, BoxItalic);
  EXPECT_EQ(link.fontStyle, 4796);
  EXPECT_EQ(std::count(received.begin(), received.end(), EventApplyProperties), 2);
  box.UserChoseRow(BoxFontName, 3);
  box.UserChoseRow(BoxFontSize, 7);
  driver.Press(box, BoxJustification + 3);
  presenter.ScriptColour(0x0000FF);
  driver.Press(box, BoxColour);
  EXPECT_EQ(link.fontName, "Times New Roman");
  EXPECT_EQ(link.fontSize, 16);
  EXPECT_EQ(link.justification, 3);
  EXPECT_EQ(link.fontColour, 0x0000FF);
  EXPECT_EQ(presenter.dialogTitles().back(), "Select font colour");
  driver.Type(box, BoxText, "Grand total");
  EXPECT_EQ(link.text, "Grand total");
  EXPECT_EQ(std::count(received.begin(), received.end(), EventApplyProperties), 7);
  EXPECT_EQ(driver.Top(), &designer);  // the focus went back every time
}

TEST_F(PropertiesBoxTest, AFamilyOrSizeTheListsLackIsKeptWhenAStyleIsApplied) {
  control.FONTSIZE = 13;
  control.FONTNAME = "Frutiger";
  runtime::Window& box = Open();
  EXPECT_EQ(driver.Shown(BoxFontSize), "13");
  EXPECT_EQ(driver.Shown(BoxFontName), "Frutiger");
  driver.Press(box, BoxBold);
  EXPECT_EQ(link.fontSize, 13);
  EXPECT_EQ(link.fontName, "Frutiger");
  EXPECT_EQ(link.fontStyle, 700);
  control.FONTSIZE = 12;
  Selected();
  box.UserChoseRow(BoxFontSize, 1);
  driver.Settle();
  EXPECT_EQ(link.fontSize, 8);  // the list is the usual one again
}

TEST_F(PropertiesBoxTest, TheMoreButtonFollowsTheKind) {
  runtime::Window& box = Open();
  control.CONTROLTYPE = layout::KindImage;
  Selected();
  presenter.ScriptFileName(folder.File("logo.bmp"));
  driver.Press(box, BoxMore);
  EXPECT_EQ(link.text, "logo.bmp");
  presenter.ScriptFileName("/usr/share/logo.bmp");
  driver.Press(box, BoxMore);
  EXPECT_EQ(link.text, "/usr/share/logo.bmp");

  control.CONTROLTYPE = layout::KindField;
  control.PICTURE = "@n9.2";
  Selected();
  driver.Press(box, BoxMore);
  ASSERT_EQ(driver.Top()->title(), "Field picture format");
  driver.Type(PicTotalSize, "12");
  driver.Press(PicOk);
  EXPECT_EQ(link.text, "@N12.2");
}

TEST_F(PropertiesBoxTest, ToolsSetThePendingToolUntilPlaced) {
  runtime::Window& box = Open();
  driver.Press(box, BoxTools + 2);  // box
  EXPECT_EQ(link.pendingTool, 1);
  EXPECT_EQ(canvasTool, 1);
  EXPECT_EQ(designer.cursor(), runtime::CursorCross);
  box.Post(EventToolPlaced);
  driver.Settle();
  EXPECT_EQ(link.pendingTool, 0);
  EXPECT_TRUE(box.Find(BoxTools + 1)->checked);  // the arrow
  EXPECT_EQ(designer.cursor(), runtime::CursorArrow);
  box.Post(EventCloseBox);
  driver.Settle();
  EXPECT_EQ(link.box, nullptr);
  EXPECT_EQ(Ini("RolledDown"), "1");
}

}  // namespace
}  // namespace ledora::designer
