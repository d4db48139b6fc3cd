#include "designer/designer_tools.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "designer/paper_formats.h"
#include "designer/properties_box.h"
#include "designer/property_dialogs.h"
#include "designer/select_report_type.h"
#include "layout/shipped_reports.h"
#include "tests/designer/designer_fixture.h"

namespace ledora::designer {
namespace {

// The designer with its tools on the shipped report definitions, driven as
// a user would, in a folder of its own (the box keeps its place there).
class DesignerToolsTest : public DesignerFixture {
 protected:
  DesignerToolsTest() {
    std::filesystem::current_path(folder.path());
    layout::ShippedReports shipped;
    EXPECT_TRUE(shipped.Parse(layout::ShippedReportsText(), nullptr));
    EXPECT_EQ(shipped.MakeDesignFiles(designs), 0);
    driver.Start([this] { designer.Run(); });
  }
  ~DesignerToolsTest() override {
    if (designer.state() != nullptr) designer.state()->DESIGNCHANGED = 0;
    for (int i = 0; i < 5 && designer.window().IsOpen(); ++i) {
      if (driver.Top() != &designer.window()) driver.Close();
      designer.window().Post(runtime::EventCloseDown);
      driver.Settle();
    }
    std::filesystem::current_path(start);
  }
  // The toolbox has only its toolbar button; the others have menu items.
  void Command(DesignerCommand command) {
    driver.Press(designer.window(), command == CmdToolbox ? ToolboxButton() : MenuItemOf(command));
  }
  static int32_t ToolboxButton() {
    int32_t button = kFirstToolbarButton;
    while (DesignerToolbar()[button - kFirstToolbarButton].command != CmdToolbox) ++button;
    return button;
  }
  void NewCustomersLayout() {
    Command(CmdNew);
    const runtime::Control* list = driver.Top()->Find(SelectTypeList);
    for (size_t i = 0; i < list->rows.size(); ++i) {
      if (list->rows[i][0] == "Customers") driver.ChooseRow(SelectTypeList, int32_t(i) + 1);
    }
    driver.Press(SelectTypeSelect);
    ASSERT_TRUE(designer.loaded());
  }

  std::filesystem::path start = std::filesystem::current_path();
  DesignerWindow designer{designs, MakeDesignerTools(designs)};
};

TEST_F(DesignerToolsTest, InsertControlAsksTheControlPropertiesAndTheBoxAppliesToIt) {
  NewCustomersLayout();
  designer.state()->Band(4)->PRESENT = 1;
  designer.Redraw();
  const auto& band = *designer.state()->Band(4)->CTRL;
  Command(CmdInsControl);
  designer.window().UserMouse(
      runtime::EventMouseDown, 0, DesignerWindow::kCanvasLeft + band.WINXPOS + 100,
      DesignerWindow::kCanvasTop + band.WINYPOS + 100, runtime::KeyMouseLeft);
  driver.Settle();
  ASSERT_EQ(driver.Top()->title(), "Control Properties");
  driver.ChooseRow(CtlKind, layout::KindField);
  driver.ChooseRow(CtlField, 1);
  driver.Press(CtlOk);
  const layout::ControlEntry* control = designer.canvas()->SelectedControl();
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(control->FIELDNAME, "Pagenumber");
  EXPECT_EQ(control->PICTURE, "@pPage <<#p");

  Command(CmdToolbox);
  runtime::Window* box = driver.Titled("Controls and fields");
  ASSERT_NE(box, nullptr);
  EXPECT_GT(box->Find(BoxFields)->rows.size(), 0u);  // the Customers fields
  driver.Press(*box, BoxBold);
  driver.Press(*box, BoxItalic);
  EXPECT_EQ(control->FONTSTYLE, 4796);
  EXPECT_EQ(control->PICTURE, "@pPage <<#p");
  EXPECT_TRUE(designer.state()->DESIGNCHANGED);
  Command(CmdToolbox);  // a second press brings the running box forward
  EXPECT_EQ(driver.Top(), box);
}

// The box opens beside the designer the first time; a field dragged from
// its list lands on the band under the pointer, with the comma rule; each
// apply of the box is one step to undo.
TEST_F(DesignerToolsTest, AFieldDraggedFromTheBoxLandsOnTheBandAndAppliesUndoOneByOne) {
  NewCustomersLayout();
  designer.state()->Band(4)->PRESENT = 1;
  designer.Redraw();
  Command(CmdToolbox);
  runtime::Window* box = driver.Titled("Controls and fields");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->placeBeside(), &designer.window());
  EXPECT_EQ(box->geometry().x, 0);
  const auto& rows = box->Find(BoxFields)->rows;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i][0] == "Customer name") box->SetSelection(BoxFields, static_cast<int32_t>(i) + 1);
  }
  const auto& band = *designer.state()->Band(4)->CTRL;
  int32_t paper = designer.state()->PAPERCTRL->CTRLNO;
  designer.window().UserDrop(paper, *box, BoxFields,
                             DesignerWindow::kCanvasLeft + band.WINXPOS + 300,
                             DesignerWindow::kCanvasTop + band.WINYPOS + 50);
  driver.Settle();
  const layout::ControlEntry* control = designer.canvas()->SelectedControl();
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(control->FIELDNAME, "CUS:NAME");
  EXPECT_EQ(control->CTRL->XPOS, 300);

  driver.Press(*box, BoxBold);
  driver.Press(*box, BoxJustification + 3);  // right
  EXPECT_EQ(control->FONTSTYLE, 700);
  EXPECT_EQ(control->JUSTIFICATION, 'R');
  designer.Do(CmdUndo);
  control = designer.canvas()->SelectedControl();
  EXPECT_EQ(control->FONTSTYLE, 700);
  EXPECT_EQ(control->JUSTIFICATION, 'L');
  designer.Do(CmdUndo);
  EXPECT_EQ(designer.canvas()->SelectedControl()->FONTSTYLE, 400);
}

TEST_F(DesignerToolsTest, PaperFormatsFromTheMenuRunBesideTheDesigner) {
  NewCustomersLayout();
  Command(CmdPaperFormats);
  runtime::Window* browse = driver.Titled("Paper formats");
  ASSERT_NE(browse, nullptr);
  EXPECT_FALSE(browse->isModal());
  EXPECT_FALSE(browse->Find(PaperSelect)->enabled);
  EXPECT_EQ(browse->Find(PaperList)->rows.size(), 8u);
  driver.Close(*browse);
  EXPECT_EQ(driver.Titled("Paper formats"), nullptr);
}

TEST_F(DesignerToolsTest, ClosingTheDesignerClosesTheBox) {
  Command(CmdToolbox);
  ASSERT_NE(driver.Titled("Controls and fields"), nullptr);
  designer.window().Post(runtime::EventCloseDown);
  driver.Settle();
  EXPECT_EQ(driver.Titled("Controls and fields"), nullptr);
  EXPECT_TRUE(std::filesystem::exists(folder.File("qrptdes.ini")));
}

}  // namespace
}  // namespace ledora::designer
