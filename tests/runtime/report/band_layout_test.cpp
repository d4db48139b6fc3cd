#include "runtime/report/band_layout.h"

#include <gtest/gtest.h>

namespace ledora::runtime {
namespace {

using Lines = std::vector<std::string>;

// Approximate metrics at 10 points: 69 mils a character, lines 165 apart.
class BandLayoutTest : public ::testing::Test {
 protected:
  BandLayoutTest() {
    band_.number = 1;
    context_.font = {"Arial", 400, 10, 0};
    context_.areaWidth = 7000;
    context_.metrics = &metrics_;
    context_.fonts = &fonts_;
  }

  ReportControl& Add(int32_t number, ReportControlKind kind) {
    ReportControl& control = controls_[number];
    control.number = number;
    control.kind = kind;
    control.band = band_.number;
    band_.controls.push_back(number);
    return control;
  }
  LaidOutBand LayOut() { return BandLayout(context_).LayOut(band_, controls_); }

  ApproximateFontMetrics metrics_;
  FontTable fonts_;
  LayoutContext context_;
  ReportBand band_;
  std::map<int32_t, ReportControl> controls_;
};

TEST_F(BandLayoutTest, WrapsAtBlanksLineBreaksAndInsideOverlongWords) {
  ReportFont font{"Arial", 400, 10, 0};
  EXPECT_EQ(BandLayout::Wrap("one two three", 500, metrics_, font), (Lines{"one two", "three"}));
  EXPECT_EQ(BandLayout::Wrap("one\r\ntwo\n\nthree", 5000, metrics_, font),
            (Lines{"one", "two", "", "three"}));
  EXPECT_EQ(BandLayout::Wrap("abcdefghij", 300, metrics_, font), (Lines{"abcd", "efgh", "ij"}));
  EXPECT_EQ(BandLayout::Wrap("", 300, metrics_, font), (Lines{""}));
  EXPECT_EQ(BandLayout::Wrap("no width means no wrap", 0, metrics_, font),
            (Lines{"no width means no wrap"}));
}

TEST_F(BandLayoutTest, AGrowingTextFieldMakesItsBandTaller) {
  band_.height = 300;
  ReportControl& notes = Add(10, ReportTextField);
  notes.y = 100;
  notes.width = 700;
  notes.height = 200;
  notes.grows = true;
  notes.text = "one two three four five";
  LaidOutBand out = LayOut();
  ASSERT_EQ(out.items.size(), 3u);
  EXPECT_EQ(out.items[2].text, "five");
  EXPECT_EQ(out.items[2].y, 100 + 2 * 165);
  EXPECT_EQ(out.height, 100 + 3 * 165);

  notes.grows = false;  // a fixed field shows only the lines that fit
  out = LayOut();
  ASSERT_EQ(out.items.size(), 1u);
  EXPECT_EQ(out.height, 300);
}

TEST_F(BandLayoutTest, VariablesShowTheirValueThroughThePicture) {
  int32_t amount = 1234;
  ReportControl& bound = Add(10, ReportVariable);
  bound.picture = "@n6";
  bound.field = FieldRef::Of(amount);
  ReportControl& unbound = Add(11, ReportVariable);
  unbound.text = "as the layout made it";
  LaidOutBand out = LayOut();
  ASSERT_EQ(out.items.size(), 2u);
  EXPECT_EQ(out.items[0].text, " 1,234");
  EXPECT_EQ(out.items[0].align, AlignRight);  // numbers align right unless told otherwise
  EXPECT_EQ(out.items[1].text, "as the layout made it");
  EXPECT_EQ(out.items[1].align, AlignLeft);
  amount = 7;
  EXPECT_EQ(LayOut().items[0].text, "     7");
}

TEST_F(BandLayoutTest, ControlsTakeUnsetFontPartsFromTheReport) {
  ReportControl& big = Add(10, ReportString);
  big.text = "Total";
  big.font.size = 20;
  big.justify = ReportJustify::Centre;
  ReportControl& plain = Add(11, ReportString);
  plain.text = "x";
  LaidOutBand out = LayOut();
  ASSERT_EQ(fonts_.fonts().size(), 2u);
  EXPECT_EQ(fonts_.fonts()[out.items[0].font], (ReportFont{"Arial", 400, 20, 0}));
  EXPECT_EQ(fonts_.fonts()[out.items[1].font], context_.font);
  EXPECT_EQ(out.items[0].align, AlignCentre);
  // Natural size: measured text, one line high.
  EXPECT_EQ(out.items[0].width, 5 * 277 / 2);
  EXPECT_EQ(out.items[0].height, 332);
}

TEST_F(BandLayoutTest, MillimetresBecomeThousandthsOfAnInch) {
  context_.unit = ReportUnit::Millimetres;
  band_.height = 10;
  ReportControl& line = Add(10, ReportLine);
  line.x = 10;
  line.width = 100;
  line.height = 0;
  LaidOutBand out = LayOut();
  EXPECT_EQ(out.height, 394);
  EXPECT_EQ(out.items[0].x, 394);
  EXPECT_EQ(out.items[0].width, 3937);
}

TEST_F(BandLayoutTest, CheckBoxesFollowTheirVariable) {
  char paid[1] = {'Y'};
  ReportControl& check = Add(10, ReportCheck);
  check.text = "Paid";
  check.field = FieldRef::Of(paid);
  LaidOutBand out = LayOut();
  ASSERT_EQ(out.items.size(), 2u);
  EXPECT_EQ(out.items[0].kind, ItemCheck);
  EXPECT_TRUE(out.items[0].flags & FlagChecked);
  EXPECT_GT(out.items[1].x, out.items[0].x + out.items[0].width);
  paid[0] = ' ';
  EXPECT_FALSE(LayOut().items[0].flags & FlagChecked);
}

TEST_F(BandLayoutTest, ShapesImagesGroupsAndHiddenControls) {
  ReportControl& box = Add(10, ReportBox);
  box.width = 1000;
  box.height = 500;
  box.fillColor = 0xFF0000;
  box.rounded = true;
  Add(11, ReportImage);  // no file and no variable: nothing to draw
  ReportControl& logo = Add(12, ReportImage);
  logo.imageFile = "logo.png";
  ReportControl& group = Add(13, ReportGroup);
  group.text = "Address";
  group.width = 2000;
  group.height = 800;
  Add(14, ReportString).visible = false;
  LaidOutBand out = LayOut();
  ASSERT_EQ(out.items.size(), 4u);
  EXPECT_EQ(out.items[0].kind, ItemBox);
  EXPECT_EQ(out.items[0].fill, 0xFF0000);
  EXPECT_EQ(out.items[0].flags, FlagRounded);
  EXPECT_EQ(out.items[1].kind, ItemImage);
  EXPECT_EQ(out.items[1].text, "logo.png");
  EXPECT_EQ(out.items[2].kind, ItemBox);  // the group's frame, then its caption
  EXPECT_EQ(out.items[3].text, "Address");
  EXPECT_EQ(out.height, 1000);
}

TEST_F(BandLayoutTest, PageNumbersAreLeftForPlacement) {
  Add(10, ReportString).text = "x";
  Add(11, ReportPageNumber);
  LaidOutBand out = LayOut();
  EXPECT_EQ(out.pageNumberItems, std::vector<size_t>{1});
  EXPECT_EQ(out.items[1].text, "@pPage <<#p");
}

}  // namespace
}  // namespace ledora::runtime
