#include "layout/design_state.h"

#include <gtest/gtest.h>

#include "tests/layout/layout_fixture.h"

namespace ledora::layout {
namespace {

BandRecord DetailBand(uint8_t number, const std::string& name, int32_t width, int32_t height) {
  BandRecord record{};
  record.DETAILNUMBER = number;
  std::fill(std::begin(record.DETAILNAME), std::end(record.DETAILNAME), ' ');
  std::copy(name.begin(), name.end(), record.DETAILNAME);
  record.XPOS = 100;
  record.YPOS = 50;
  record.WIDTH = width;
  record.HEIGHT = height;
  record.PAGEBEFORE = 1;
  record.WITHNEXT = 2;
  return record;
}

TEST(DesignStateTest, FreshDesignHasPaperDetailAreaAndTheThreePageBands) {
  RecordingView view;
  DesignState state(&view, {});
  EXPECT_EQ(view.calls, (std::vector<std::string>{"scale 1", "paper 8500x11700"}));
  EXPECT_EQ(state.PAPERSCALE, '1');
  EXPECT_EQ(state.CURRENTVIEW, 'B');
  EXPECT_EQ(state.ORIENTATION, 'P');
  EXPECT_EQ(state.DESIGNCHANGED, 0);
  EXPECT_EQ(state.STEPSIZE, 40);
  EXPECT_EQ(state.SELECTEDCTRL, SelectedPaper);
  EXPECT_EQ(state.SELECTEDTAG->CTRL, state.PAPERCTRL.get());
  EXPECT_EQ(state.DFONTNAME, "MS Sans Serif");
  EXPECT_EQ(state.DFONTSIZE, 8);

  const ControlGeometry& paper = *state.PAPERCTRL;
  EXPECT_EQ(paper.CTRLNO, 100);
  EXPECT_EQ(paper.CTRLTYPE, ShownAsBox);
  EXPECT_EQ(paper.WIDTH, 8500);
  EXPECT_EQ(paper.HEIGHT, 11700);
  EXPECT_EQ(paper.fillColour, 0xFFFFFF);
  const ControlGeometry& area = *state.DETAILAREA;
  EXPECT_EQ(area.CTRLNO, 101);
  EXPECT_EQ(area.XPOS, 800);
  EXPECT_EQ(area.YPOS, 1000);
  EXPECT_EQ(area.WIDTH, 6900);
  EXPECT_EQ(area.HEIGHT, 9700);
  EXPECT_EQ(area.fillColour, kNoColour);

  ASSERT_EQ(state.BANDS.size(), 3u);
  const char* names[] = {"PageForm", "PageHeader", "PageFooter"};
  const int32_t y[] = {800, 800, 10100};
  const int32_t height[] = {10100, 200, 200};
  for (int i = 0; i < 3; ++i) {
    const BandEntry& band = *state.BANDS[i];
    EXPECT_EQ(band.BANDTYPE, BandPageForm + i);
    EXPECT_EQ(band.BANDNAME, names[i]);
    EXPECT_EQ(band.CTRL->CTRLNO, 102 + i);
    EXPECT_EQ(band.CTRL->XPOS, 800);
    EXPECT_EQ(band.CTRL->YPOS, y[i]);
    EXPECT_EQ(band.CTRL->HEIGHT, height[i]);
    EXPECT_EQ(band.ABSOLUTE, 1);
    EXPECT_EQ(band.PRESENT, 0);
    EXPECT_EQ(band.DETAILNO, 0);
  }
  EXPECT_EQ(state.NEXTCTRL, 105);
}

TEST(DesignStateTest, DetailBandsFollowInOrderWithZeroSizesAsDefaults) {
  DesignState state(nullptr, {DetailBand(1, "Lines", 0, 0), DetailBand(2, "Totals", 5000, 300)});
  ASSERT_EQ(state.BANDS.size(), 5u);
  const BandEntry& lines = *state.Band(4);
  EXPECT_EQ(lines.BANDTYPE, BandDetail);
  EXPECT_EQ(lines.BANDNAME, "Lines");
  EXPECT_EQ(lines.DETAILNO, 1);
  EXPECT_EQ(lines.CTRL->CTRLNO, 105);
  EXPECT_EQ(lines.CTRL->WIDTH, -1);
  EXPECT_EQ(lines.CTRL->HEIGHT, -1);
  EXPECT_EQ(lines.PAGEBEFORE, 1);
  EXPECT_EQ(lines.WITHNEXT, 2);
  EXPECT_EQ(lines.ABSOLUTE, 0);
  EXPECT_EQ(state.Band(5)->CTRL->WIDTH, 5000);
  EXPECT_EQ(state.Band(5)->CTRL->CTRLNO, 106);
  EXPECT_EQ(state.Band(0), nullptr);
  EXPECT_EQ(state.Band(6), nullptr);
}

TEST(DesignStateTest, BandsBeyondWhatAPositionByteHoldsAreLeftOut) {
  std::vector<BandRecord> bands;
  for (int i = 1; i <= 260; ++i) bands.push_back(DetailBand(static_cast<uint8_t>(i), "D", 1, 1));
  DesignState state(nullptr, bands);
  EXPECT_EQ(state.BANDS.size(), 3u + kMaxDetailBands);
}

TEST(DesignStateTest, CreateReadsOnlyTheTypesBandsInDetailOrder) {
  DesignFiles files;
  files.AddBand(7, 2, "Second", 0, 0, 100, 0);
  files.AddBand(6, 1, "Other type");
  files.AddBand(7, 1, "First");
  files.AddBand(8, 1, "Next type");
  R_T.TYPENUMBER = 7;
  auto state = DesignState::Create(nullptr, files.designs());
  ASSERT_EQ(state->BANDS.size(), 5u);
  EXPECT_EQ(state->Band(4)->BANDNAME, "First");
  EXPECT_EQ(state->Band(5)->BANDNAME, "Second");
  EXPECT_EQ(state->Band(5)->CTRL->HEIGHT, -1);

  R_T.TYPENUMBER = 99;
  EXPECT_EQ(DesignState::Create(nullptr, files.designs())->BANDS.size(), 3u);
}

TEST(DesignStateTest, NewControlTakesTheNextNumberAndTheDefaults) {
  DesignState state(nullptr, {});
  auto control = state.NewControl();
  EXPECT_EQ(control->CTRL->CTRLNO, 105);
  EXPECT_EQ(state.NEXTCTRL, 106);
  EXPECT_EQ(control->CONTROLTYPE, KindString);
  EXPECT_EQ(control->JUSTIFICATION, 'D');
  EXPECT_EQ(control->RESIZABLE, 1);
  EXPECT_EQ(control->TRANSPARENT, 1);
  EXPECT_EQ(control->BOXCOLOR, 0xFF0000);
  EXPECT_EQ(control->LINECOLOR, 0);
  EXPECT_EQ(state.NewControl(KindCheckBox)->CTRL->CTRLTYPE, ShownAsCheck);
}

TEST(DesignStateTest, RemovingABandKeepsItsPlaceAndDropsItsControls) {
  DesignState state(nullptr, {DetailBand(1, "Lines", 0, 0)});
  state.AddBand(4);
  state.Band(4)->BANDCONTROLS.push_back(state.NewControl());
  state.RemoveBand(4);
  EXPECT_EQ(state.BANDS.size(), 4u);
  EXPECT_EQ(state.Band(4)->PRESENT, 0);
  EXPECT_TRUE(state.Band(4)->BANDCONTROLS.empty());
  state.RemoveBand(9);  // nothing there
}

TEST(DesignStateTest, GeometryPlacedAtNegativePositionsStartsAtZero) {
  ControlGeometry geometry;
  geometry.Place(-5, -1, -1, 30);
  EXPECT_EQ(geometry.XPOS, 0);
  EXPECT_EQ(geometry.YPOS, 0);
  EXPECT_EQ(geometry.WIDTH, -1);
  EXPECT_EQ(geometry.HEIGHT, 30);
}

TEST(DesignStateUnitTest, FreshDesignToMillimetresAndBack) {
  RecordingView view;
  DesignState state(&view, {});
  view.calls.clear();
  state.SwitchUnit('M');
  EXPECT_EQ(view.calls, (std::vector<std::string>{"scale M", "redraw"}));
  EXPECT_EQ(state.PAPERSCALE, 'M');
  EXPECT_EQ(state.DESIGNCHANGED, 1);
  EXPECT_EQ(state.PAPERCTRL->WIDTH, 216);
  EXPECT_EQ(state.PAPERCTRL->HEIGHT, 297);
  EXPECT_EQ(state.DETAILAREA->XPOS, 20);
  EXPECT_EQ(state.DETAILAREA->YPOS, 25);
  EXPECT_EQ(state.DETAILAREA->WIDTH, 175);
  EXPECT_EQ(state.DETAILAREA->HEIGHT, 246);
  EXPECT_EQ(state.STEPSIZE, 1);

  state.SwitchUnit('1');
  // Converting back does not restore the old values.
  EXPECT_EQ(state.PAPERCTRL->WIDTH, 8504);
  EXPECT_EQ(state.PAPERCTRL->HEIGHT, 11693);
  EXPECT_EQ(state.STEPSIZE, 39);
}

TEST(DesignStateUnitTest, SameScaleChangesNothing) {
  RecordingView view;
  DesignState state(&view, {});
  view.calls.clear();
  state.SwitchUnit('1');
  EXPECT_TRUE(view.calls.empty());
  EXPECT_EQ(state.DESIGNCHANGED, 0);
  EXPECT_EQ(state.PAPERCTRL->WIDTH, 8500);
}

TEST(DesignStateUnitTest, DefaultsOfBandsAndControlsSurviveTheSwitch) {
  DesignState state(nullptr, {DetailBand(1, "Lines", 0, 400)});
  BandEntry& band = *state.Band(4);
  auto control = state.NewControl();
  control->CTRL->Place(0, 1000, -1, 0);
  band.BANDCONTROLS.push_back(std::move(control));
  state.SwitchUnit('M');
  EXPECT_EQ(band.CTRL->WIDTH, -1);
  EXPECT_EQ(band.CTRL->HEIGHT, 10);
  EXPECT_EQ(band.CTRL->XPOS, 3);  // 100 thousandths = 2.54 mm
  const ControlGeometry& moved = *band.BANDCONTROLS[0]->CTRL;
  EXPECT_EQ(moved.XPOS, 0);
  EXPECT_EQ(moved.YPOS, 25);
  EXPECT_EQ(moved.WIDTH, -1);
  EXPECT_EQ(moved.HEIGHT, 0);
}

TEST(DesignStateUnitTest, ConversionRoundsHalfAwayFromZero) {
  EXPECT_EQ(ConvertUnit(0, 'M'), 0);
  EXPECT_EQ(ConvertUnit(-800, 'M'), -20);
  EXPECT_EQ(ConvertUnit(-1, '1'), -39);
  EXPECT_EQ(ConvertUnit(127, '1'), 5000);  // exactly 5000
  EXPECT_EQ(ConvertUnit(500, 'M'), 13);    // 12.7
  EXPECT_EQ(ConvertUnit(2147483647, 'M'), 54546085);
  // Beyond a LONG the value stops at its limit rather than wrapping round.
  EXPECT_EQ(ConvertUnit(54546085, '1'), 2147483647);
  EXPECT_EQ(ConvertUnit(-54546085, '1'), -2147483647 - 1);
}

}  // namespace
}  // namespace ledora::layout
