#include "designer/property_dialogs.h"

#include <gtest/gtest.h>

#include "designer/picture_editor.h"
#include "runtime/values/fixed_string.h"
#include "tests/designer/designer_fixture.h"

namespace ledora::designer {
namespace {

using layout::R_P;
using layout::R_Pformats;

// A design with one detail band on a canvas, the paper format "A4 mm", and
// the dialogs driven headless.
class PropertyDialogsTest : public DesignerFixture {
 protected:
  PropertyDialogsTest() : state(nullptr, {DetailBand()}), canvas(state, {}) {
    EXPECT_EQ(designs.File(R_Pformats)->Create(), 0);
    EXPECT_TRUE(designs.Use(R_Pformats));
    R_P = {};
    runtime::AssignPadded(R_P.FORMATNAME, "A4 mm");
    runtime::AssignPadded(R_P.PAPERSCALE, "Milimeter");
    runtime::AssignPadded(R_P.PAPERORIENTATION, "Landscape");
    R_P.PAPERWIDTH = 210;
    R_P.PAPERHEIGHT = 297;
    EXPECT_EQ(designs.File(R_Pformats)->Add(), 0);
    designs.Release(R_Pformats);
  }
  static layout::BandRecord DetailBand() {
    layout::BandRecord band{};
    band.TYPENUMBER = 1;
    band.DETAILNUMBER = 1;
    runtime::AssignPadded(band.DETAILNAME, "Detail");
    band.WIDTH = -1;
    band.HEIGHT = 1500;
    return band;
  }
  static layout::DataFieldRecord Field(const char* user, const char* name, const char* picture,
                                       char justification) {
    layout::DataFieldRecord f{};
    runtime::AssignPadded(f.USERFIELDNAME, user);
    runtime::AssignPadded(f.FIELDNAME, name);
    runtime::AssignPadded(f.PICTURE, picture);
    f.JUSTIFICATION[0] = justification;
    f.RESIZABLE = 0;
    return f;
  }
  void Open(std::function<void()> dialog) {
    driver.Start([this, dialog] {
      dialog();
      done = true;
    });
    ASSERT_NE(driver.Top(), nullptr);
  }

  layout::DesignState state;
  DesignCanvas canvas;
  bool done = false;
};

TEST_F(PropertyDialogsTest, ReportInMillimetresOpensWithMillimeter) {
  state.SwitchUnit('M');
  state.DESIGNCHANGED = 0;
  Open([this] { ReportProperties(canvas, designs); });
  EXPECT_EQ(driver.Top()->title(), "Report properties");
  EXPECT_TRUE(driver.IsChecked(RepUnit + 2));
  EXPECT_EQ(driver.Shown(RepUnit + 2), "Millimeter");
  driver.Press(RepCancel);
  EXPECT_TRUE(done);
  EXPECT_EQ(state.DESIGNCHANGED, 0);
}

TEST_F(PropertyDialogsTest, PaperTypesSizeAndDetailAreaBounds) {
  Open([this] { ReportProperties(canvas, designs); });
  EXPECT_EQ(driver.RowCount(RepPaperType), 2);
  EXPECT_EQ(driver.ShownRow(RepPaperType, 1)[0], "");
  driver.Type(RepWidth, "9000");
  driver.ChooseRow(RepPaperType, 1);  // the blank custom row
  EXPECT_EQ(std::stoi(driver.Shown(RepWidth)), 9000);
  driver.ChooseRow(RepPaperType, 2);  // millimetres into a design in thousandths
  EXPECT_EQ(std::stoi(driver.Shown(RepWidth)), 8268);
  EXPECT_EQ(std::stoi(driver.Shown(RepHeight)), 11693);
  EXPECT_TRUE(driver.IsChecked(RepOrientation + 2));
  driver.Type(RepLeft, "1000");
  driver.Type(RepAreaWidth, "8000");  // beyond the paper less the margin
  EXPECT_EQ(std::stoi(driver.Shown(RepAreaWidth)), 6900);
  driver.Type(RepAreaWidth, "7268");
  presenter.ScriptFont(runtime::Font{"Courier New", 12, 700, 0});
  driver.Press(RepFont);
  EXPECT_EQ(presenter.dialogTitles(), std::vector<std::string>{"Default report font"});
  driver.Press(RepOk);
  EXPECT_EQ(state.PAPERCTRL->WIDTH, 8268);
  EXPECT_EQ(state.ORIENTATION, 'L');
  EXPECT_EQ(state.DETAILAREA->XPOS, 1000);
  EXPECT_EQ(state.DETAILAREA->WIDTH, 7268);
  EXPECT_EQ(state.FONTNAME, "Courier New");
  EXPECT_EQ(state.FONTSTYLE, 700);
  EXPECT_EQ(state.DESIGNCHANGED, 1);
}

TEST_F(PropertyDialogsTest, SwitchingTheUnitConvertsTheDesign) {
  Open([this] { ReportProperties(canvas, designs); });
  driver.Press(RepUnit + 2);
  EXPECT_EQ(std::stoi(driver.Shown(RepLeft)), 20);  // 800 thousandths
  driver.Press(RepOk);
  EXPECT_EQ(state.PAPERSCALE, 'M');
  EXPECT_EQ(state.DETAILAREA->XPOS, 20);
  EXPECT_EQ(state.Band(4)->CTRL->HEIGHT, 38);  // the bands went along
}

TEST_F(PropertyDialogsTest, PageHeaderOffersOnlyPositionAndSize) {
  state.CURRENTBAND = 2;
  Open([this] { BandProperties(canvas); });
  EXPECT_EQ(driver.Top()->title(), "Band properties");
  for (int32_t c : {BandWidowOrphan, BandWithPrior, BandWithNext, BandPageBefore}) {
    EXPECT_TRUE(driver.IsHidden(c)) << c;
  }
  EXPECT_FALSE(driver.IsEnabled(BandLeftChoice + 1));
  EXPECT_TRUE(driver.IsChecked(BandLeftChoice + 2));
  EXPECT_EQ(std::stoi(driver.Shown(BandLeft)), 800);
  driver.Press(BandOk);
  EXPECT_EQ(state.Band(2)->ABSOLUTE, 1);
  EXPECT_EQ(state.SELECTEDCTRL, layout::SelectedBand);
  EXPECT_EQ(state.CURRENTBAND, 2);
}

TEST_F(PropertyDialogsTest, DetailBandDefaultsAndOptions) {
  state.CURRENTBAND = 4;
  Open([this] { BandProperties(canvas); });
  EXPECT_FALSE(driver.IsHidden(BandWithPrior));
  EXPECT_TRUE(driver.IsChecked(BandWidthChoice + 1));  // full width
  EXPECT_FALSE(driver.IsEnabled(BandWidth));
  driver.Press(BandWidthChoice + 2);
  EXPECT_TRUE(driver.IsEnabled(BandWidth));
  driver.Type(BandWidth, "5000");
  driver.Type(BandWithNext, "3");
  driver.Press(BandPageBefore);
  driver.Press(BandOk);
  const layout::BandEntry& band = *state.Band(4);
  EXPECT_EQ(band.CTRL->WIDTH, 5000);
  EXPECT_EQ(band.CTRL->HEIGHT, 1500);
  EXPECT_EQ(band.WITHNEXT, 3);
  EXPECT_EQ(band.PAGEBEFORE, 1);
  EXPECT_EQ(state.DESIGNCHANGED, 1);
}

TEST_F(PropertyDialogsTest, PagenumberPseudoFieldAndCatalogueFields) {
  std::vector<layout::DataFieldRecord> fields = {Field("Price", "ITM:PRICE", "@n9.2", 'R')};
  layout::ControlEntry control;
  control.CONTROLTYPE = layout::KindField;
  Open([&] { ControlProperties(control, fields, true); });
  EXPECT_EQ(driver.Selection(CtlKind), layout::KindField);
  EXPECT_EQ(driver.RowCount(CtlKind), 8);
  EXPECT_EQ(driver.ShownRow(CtlKind, 2)[0], "Box");
  EXPECT_EQ(driver.ShownRow(CtlField, 1)[0], "Pagenumber");
  EXPECT_FALSE(driver.IsHidden(CtlJustification));
  EXPECT_TRUE(driver.IsHidden(CtlRoundCorners));
  driver.ChooseRow(CtlField, 2);
  EXPECT_EQ(driver.Shown(CtlText), "@n9.2");
  EXPECT_EQ(driver.Selection(CtlJustification), 2);  // right
  driver.ChooseRow(CtlField, 1);
  EXPECT_EQ(driver.Shown(CtlText), "@pPage <<#p");
  driver.Press(CtlOk);
  EXPECT_EQ(control.FIELDNAME, "Pagenumber");
  EXPECT_EQ(control.USERFIELDNAME, "Pagenumber");
  EXPECT_EQ(control.PICTURE, "@pPage <<#p");
  EXPECT_EQ(control.JUSTIFICATION, 'R');
}

TEST_F(PropertyDialogsTest, BoxColoursTakeMinusOneForTransparent) {
  layout::ControlEntry control;
  control.CONTROLTYPE = layout::KindBox;
  control.CTRL->Place(100, 100, -1, -1);
  Open([&] { ControlProperties(control, {}, false); });
  EXPECT_TRUE(driver.IsHidden(CtlField));
  EXPECT_FALSE(driver.IsHidden(CtlRoundCorners));
  driver.Type(CtlFillColour, "-1");
  presenter.ScriptColour(0x00FF00);
  driver.Press(CtlLineColourButton);
  presenter.ScriptColour(std::nullopt);
  driver.Press(CtlFillColourButton);
  EXPECT_EQ(presenter.dialogTitles(),
            (std::vector<std::string>{"Select line color", "Select fill color"}));
  driver.ChooseTab(CtlSheet, 3);
  driver.Press(CtlWidthChoice + 2);
  driver.Type(CtlWidth, "1234");
  driver.Press(CtlOk);
  EXPECT_EQ(control.BOXCOLOR, -1);
  EXPECT_EQ(control.LINECOLOR, 0x00FF00);
  EXPECT_EQ(control.CTRL->WIDTH, 1234);
  EXPECT_EQ(control.CTRL->HEIGHT, -1);
}

TEST_F(PropertyDialogsTest, ThePictureButtonOpensThePictureEditor) {
  layout::ControlEntry control;
  control.CONTROLTYPE = layout::KindField;
  control.PICTURE = "@n9.2";
  Open([&] { ControlProperties(control, {}, false); });
  driver.Press(CtlTextButton);
  EXPECT_EQ(driver.Top()->title(), "Field picture format");
  driver.Type(PicTotalSize, "12");
  driver.Press(PicOk);
  EXPECT_EQ(driver.Shown(CtlText), "@N12.2");
  driver.Press(CtlCancel);
  EXPECT_EQ(control.PICTURE, "@n9.2");
}

}  // namespace
}  // namespace ledora::designer
