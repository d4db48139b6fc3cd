#include "designer/paper_formats.h"

#include <gtest/gtest.h>

#include "designer/paper_format_form.h"
#include "framework/procedure_frame.h"
#include "runtime/values/fixed_string.h"
#include "tests/designer/designer_fixture.h"

namespace ledora::designer {
namespace {

using layout::R_P;
using layout::R_Pformats;
using runtime::ButtonNo;
using runtime::ButtonOk;
using runtime::ButtonYes;

// The formats "A4" (in the old unit letter "1") and "A5 mm" (old "M").
class PaperFormatsTest : public DesignerFixture {
 protected:
  PaperFormatsTest() {
    EXPECT_EQ(designs.File(R_Pformats)->Create(), 0);
    EXPECT_TRUE(designs.Use(R_Pformats));
    Add("A4", "1", 8268, 11693);
    Add("A5 mm", "M", 148, 210);
  }
  ~PaperFormatsTest() override { designs.Release(R_Pformats); }

  void Add(const char* name, const char* scale, int32_t width, int32_t height) {
    R_P = {};
    runtime::AssignPadded(R_P.FORMATNAME, name);
    runtime::AssignPadded(R_P.PAPERSCALE, scale);
    runtime::AssignPadded(R_P.PAPERORIENTATION, "Portrait");
    R_P.PAPERWIDTH = width;
    R_P.PAPERHEIGHT = height;
    EXPECT_EQ(designs.File(R_Pformats)->Add(), 0);
  }
  void Browse(PaperFormatMode mode) {
    driver.Start([this, mode] { chosen = BrowsePaperFormats(designs, mode, &format); });
    ASSERT_NE(driver.Titled("Paper formats"), nullptr);
  }
  // The stored format of that name, or nullptr.
  const layout::PaperFormatRecord* Stored(const char* name) {
    R_P = {};
    runtime::AssignPadded(R_P.FORMATNAME, name);
    if (designs.File(R_Pformats)->Fetch(layout::PaperFormatRecord::FORMATKEY) != 0) return nullptr;
    return &R_P;
  }

  layout::PaperFormatRecord format{};
  bool chosen = false;
};

TEST(PaperScaleTest, OldUnitLettersReadAsTheirUnits) {
  EXPECT_EQ(PaperScaleUnit("1/1000 inch"), '1');
  EXPECT_EQ(PaperScaleUnit("1"), '1');
  EXPECT_EQ(PaperScaleUnit("Milimeter"), 'M');
  EXPECT_EQ(PaperScaleUnit("Millimeter   "), 'M');
  EXPECT_EQ(PaperScaleUnit("M"), 'M');
  EXPECT_EQ(PaperScaleUnit(""), '1');
}

TEST_F(PaperFormatsTest, FromTheMenuSelectIsDisabled) {
  Browse(PaperFormatsBrowse);
  EXPECT_EQ(driver.RowCount(PaperList), 2);
  EXPECT_EQ(driver.ShownRow(PaperList, 2)[0], "A5 mm");
  EXPECT_FALSE(driver.IsEnabled(PaperSelect));
  presenter.ScriptPopup(1);  // "&Select", shown disabled
  driver.Top()->UserChoseRow(PaperList, 1, runtime::KeyMouseRightUp);
  driver.Settle();
  ASSERT_FALSE(presenter.popups().empty());
  EXPECT_EQ(presenter.popups().back().substr(0, 8), "~&Select");
  driver.Press(PaperClose);
  EXPECT_FALSE(chosen);
}

TEST_F(PaperFormatsTest, AsALookUpSelectReturnsTheFormat) {
  Browse(PaperFormatsSelect);
  EXPECT_TRUE(driver.IsEnabled(PaperSelect));
  driver.ChooseRow(PaperList, 2);
  driver.Press(PaperSelect);
  EXPECT_TRUE(chosen);
  EXPECT_EQ(runtime::ClippedField(format.FORMATNAME), "A5 mm");
  EXPECT_EQ(format.PAPERWIDTH, 148);
  EXPECT_EQ(framework::LastResponse, framework::ResponseCompleted);
}

TEST_F(PaperFormatsTest, ANewFormatStartsInThousandthsPortraitAndRefusesADuplicateName) {
  Browse(PaperFormatsBrowse);
  driver.Press(PaperNew);
  EXPECT_TRUE(driver.IsChecked(PaperFormScaleThous));
  EXPECT_TRUE(driver.IsChecked(PaperFormPortrait));
  EXPECT_EQ(driver.Shown(PaperFormWidth), "");
  driver.Type(PaperFormName, "A4");
  driver.Type(PaperFormWidth, "8000");
  messages.Expect("Duplicate Key Error", "for the key:Format order", ButtonOk);
  driver.Press(PaperFormOk);
  EXPECT_EQ(driver.Top()->FocusedControl(), PaperFormName);
  driver.Type(PaperFormName, "B5");
  driver.Press(PaperFormLandscape);
  driver.Press(PaperFormOk);
  EXPECT_EQ(driver.RowCount(PaperList), 3);
  EXPECT_EQ(driver.Selection(PaperList), 3);
  const layout::PaperFormatRecord* b5 = Stored("B5");
  ASSERT_NE(b5, nullptr);
  EXPECT_EQ(runtime::ClippedField(b5->PAPERSCALE), "1/1000 inch");
  EXPECT_EQ(runtime::ClippedField(b5->PAPERORIENTATION), "Landscape");
  EXPECT_EQ(b5->PAPERWIDTH, 8000);
  EXPECT_EQ(Stored("A4")->PAPERWIDTH, 8268);
}

TEST_F(PaperFormatsTest, ChangeShowsAnOldUnitLetterAsItsTextAndWritesTheText) {
  Browse(PaperFormatsBrowse);
  driver.ChooseRow(PaperList, 2);
  driver.Press(PaperChange);
  EXPECT_TRUE(driver.IsChecked(PaperFormScaleMM));
  EXPECT_EQ(std::stoi(driver.Shown(PaperFormHeight)), 210);
  driver.Type(PaperFormHeight, "211");
  driver.Press(PaperFormOk);
  EXPECT_EQ(runtime::ClippedField(Stored("A5 mm")->PAPERSCALE), "Milimeter");
  EXPECT_EQ(Stored("A5 mm")->PAPERHEIGHT, 211);
}

TEST_F(PaperFormatsTest, CancelAsksOnlyAfterAChangeAndDeleteAsksFirst) {
  Browse(PaperFormatsBrowse);
  driver.Press(PaperChange);
  driver.Press(PaperFormCancel);                        // nothing changed: no question
  EXPECT_EQ(driver.Top()->Find(PaperFormOk), nullptr);  // the form closed
  driver.Press(PaperChange);
  driver.Type(PaperFormWidth, "1");
  messages.Expect("Update Cancelled", "Are you sure you want to cancel?", ButtonNo);
  driver.Press(PaperFormCancel);
  messages.Expect("Update Cancelled", "Are you sure you want to cancel?", ButtonYes);
  driver.Press(PaperFormCancel);
  EXPECT_EQ(Stored("A4")->PAPERWIDTH, 8268);

  messages.Expect("Confirm Delete", "confirm deletion", runtime::ButtonCancel);
  driver.Press(PaperDelete);
  EXPECT_EQ(driver.RowCount(PaperList), 2);
  messages.Expect("Confirm Delete", "confirm deletion", ButtonOk);
  driver.Press(PaperDelete);
  EXPECT_EQ(driver.RowCount(PaperList), 1);
  EXPECT_EQ(Stored("A4"), nullptr);
}

}  // namespace
}  // namespace ledora::designer
