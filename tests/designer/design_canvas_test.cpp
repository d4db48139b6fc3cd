#include "designer/design_canvas.h"

#include <gtest/gtest.h>

#include <cstring>

#include "designer/design_page.h"
#include "designer/designer_text_table.h"
#include "runtime/report/page_image.h"
#include "runtime/values/fixed_string.h"
#include "runtime/window/event.h"
#include "tests/support/scripted_messages.h"

namespace ledora::designer {
namespace {

using layout::BandEntry;
using layout::ControlEntry;
using runtime::KeyCtrl;
using runtime::KeyMouseLeft;

// A design of a type with two detail bands; band view shows the header at
// its own place (y 800) and stacks the details below it.
class DesignCanvasTest : public ::testing::Test {
 protected:
  DesignCanvasTest() : state(nullptr, DetailBands()), canvas(state, Hooks()) {
    DesignerTexts().Load();
  }

  static std::vector<layout::BandRecord> DetailBands() {
    std::vector<layout::BandRecord> bands(2);
    for (uint8_t i = 0; i < 2; ++i) {
      bands[i].DETAILNUMBER = i + 1;
      runtime::AssignPadded(bands[i].DETAILNAME, i == 0 ? "Detail" : "Total");
      bands[i].HEIGHT = 2000;
    }
    return bands;
  }

  CanvasHooks Hooks() {
    CanvasHooks hooks;
    hooks.selectBand = [this](const std::string& names) {
      offered.push_back(names);
      return answer;
    };
    hooks.properties = [this](uint8_t selected) { properties.push_back(selected); };
    hooks.edited = [this] { ++edits; };
    hooks.editCancelled = [this] { --edits; };
    return hooks;
  }

  // Band positions: 1 form, 2 header, 3 footer, 4 detail, 5 total.
  ControlEntry* Put(int band, int32_t x, int32_t y, int32_t width = 1000, int32_t height = 200) {
    state.AddBand(band);
    auto control = state.NewControl(layout::KindString);
    control->CTRL->Place(x, y, width, height);
    ControlEntry* placed = control.get();
    state.Band(band)->BANDCONTROLS.push_back(std::move(control));
    canvas.Arrange();
    return placed;
  }
  void Click(const ControlEntry* c, int32_t keyCode = KeyMouseLeft) {
    canvas.MouseDown(c->CTRL->WINXPOS + 10, c->CTRL->WINYPOS + 10, keyCode);
    canvas.MouseUp(c->CTRL->WINXPOS + 10, c->CTRL->WINYPOS + 10);
  }
  // Presses the left button at (x, y), moves by (dx, dy) and lets go there.
  void Drag(int32_t x, int32_t y, int32_t dx, int32_t dy) {
    canvas.MouseDown(x, y, KeyMouseLeft);
    canvas.MouseMove(x + dx, y + dy);
    canvas.MouseUp(x + dx, y + dy);
  }
  layout::DataFieldRecord Field(uint8_t bands, const std::string& picture = "@n9.2") {
    layout::DataFieldRecord field{};
    runtime::AssignPadded(field.USERFIELDNAME, "Price");
    runtime::AssignPadded(field.FIELDNAME, "ITM:PRICE");
    runtime::AssignPadded(field.PICTURE, picture);
    field.BAND = bands;
    field.RESIZABLE = 1;
    return field;
  }

  layout::DesignState state;
  DesignCanvas canvas;
  std::vector<std::string> offered;
  std::string answer;
  std::vector<uint8_t> properties;
  int edits = 0;
  testing::ScriptedMessages messages;
};

TEST_F(DesignCanvasTest, BandViewStacksTheShownBandsWithoutOverlap) {
  for (int band : {2, 3, 4, 5}) state.AddBand(band);
  canvas.Arrange();
  const auto& header = *state.Band(2)->CTRL;
  const auto& detail = *state.Band(4)->CTRL;
  const auto& total = *state.Band(5)->CTRL;
  EXPECT_EQ(header.WINYPOS, 800);
  EXPECT_EQ(detail.WINXPOS, 800);
  EXPECT_EQ(detail.WINWIDTH, 6900);  // the detail area's width
  EXPECT_GE(detail.WINYPOS, header.WINYPOS + header.WINHEIGHT);
  EXPECT_GE(total.WINYPOS, detail.WINYPOS + detail.WINHEIGHT);
  EXPECT_GE(state.Band(3)->CTRL->WINYPOS, total.WINYPOS + total.WINHEIGHT);
}

TEST_F(DesignCanvasTest, HitTestPrefersSelectionThenSmallestBandAndControl) {
  ControlEntry* big = Put(4, 0, 0, 3000, 1000);
  ControlEntry* small = Put(4, 100, 100, 500, 200);
  const auto& b = *big->CTRL;
  CanvasHit hit = canvas.HitTest(b.WINXPOS + 200, b.WINYPOS + 200);
  EXPECT_EQ(hit.control, small);
  hit = canvas.HitTest(b.WINXPOS + 2000, b.WINYPOS + 900);
  EXPECT_EQ(hit.control, big);
  // The right and bottom edges are inside.
  EXPECT_EQ(canvas.HitTest(b.WINXPOS + 3000, b.WINYPOS + 1000).control, big);
  canvas.Select({layout::SelectedControl, 4, big});
  EXPECT_EQ(canvas.HitTest(b.WINXPOS + 200, b.WINYPOS + 200).control, big);
  EXPECT_EQ(canvas.HitTest(b.WINXPOS + 5000, b.WINYPOS + 1500).what, layout::SelectedBand);
  EXPECT_EQ(canvas.HitTest(900, 9000).what, layout::SelectedDetailArea);
  EXPECT_EQ(canvas.HitTest(100, 100).what, layout::SelectedPaper);
  EXPECT_EQ(canvas.HitTest(90000, 100).what, 0);
  canvas.SetView('F');
  EXPECT_EQ(canvas.HitTest(900, 9000).what, layout::SelectedPaper);
}

TEST_F(DesignCanvasTest, DragStartsOnlyBeyondFortyThousandths) {
  ControlEntry* c = Put(4, 1000, 100);
  int32_t x = c->CTRL->WINXPOS + 10;
  int32_t y = c->CTRL->WINYPOS + 10;
  canvas.MouseDown(x, y, KeyMouseLeft);
  canvas.MouseMove(x + 40, y);
  EXPECT_EQ(c->CTRL->XPOS, 1000);
  EXPECT_FALSE(state.ISDRAGGING & 64);
  canvas.MouseMove(x + 41, y);
  EXPECT_TRUE(state.ISDRAGGING & 64);
  EXPECT_EQ(c->CTRL->XPOS, 1041);
  canvas.MouseUp(x + 41, y);
  EXPECT_EQ(state.ISDRAGGING, 0);
  EXPECT_EQ(state.DESIGNCHANGED, 1);
  EXPECT_EQ(edits, 1);
}

TEST_F(DesignCanvasTest, DragInMillimetresStartsAtASquaredDistanceOfTwo) {
  ControlEntry* c = Put(4, 1000, 100);
  canvas.SetScale('M');
  int32_t x = c->CTRL->WINXPOS + 1;
  int32_t y = c->CTRL->WINYPOS + 1;
  canvas.MouseDown(x, y, KeyMouseLeft);
  canvas.MouseMove(x + 1, y);
  EXPECT_FALSE(state.ISDRAGGING & 64);
  canvas.MouseMove(x + 1, y + 1);
  EXPECT_TRUE(state.ISDRAGGING & 64);
}

TEST_F(DesignCanvasTest, DraggingNeverTakesPositionsOrSizesBelowZero) {
  ControlEntry* c = Put(4, 100, 100);
  ControlEntry* t = Put(4, 2000, 100);
  Click(c);
  Click(t, KeyMouseLeft | KeyCtrl);
  int32_t x = t->CTRL->WINXPOS + 10;
  int32_t y = t->CTRL->WINYPOS + 10;
  Drag(x, y, -500, -500);
  EXPECT_EQ(c->CTRL->XPOS, 0);
  EXPECT_EQ(c->CTRL->YPOS, 0);
  EXPECT_EQ(t->CTRL->XPOS, 1500);
  // The south-east handle of the selection shrinks it, never below 0.
  const auto& se = state.SELECTEDTAG->REGIONSE;
  int32_t hx = se.WINXPOS + 1;
  int32_t hy = se.WINYPOS + 1;
  Drag(hx, hy, -5000, -5000);
  EXPECT_EQ(c->CTRL->WIDTH, 0);
  EXPECT_EQ(c->CTRL->HEIGHT, 0);
}

TEST_F(DesignCanvasTest, TheNorthWestHandleMovesTheCornerAndGrowsTheControl) {
  ControlEntry* c = Put(4, 1000, 1000);
  Click(c);
  const auto& nw = state.SELECTEDTAG->REGIONNW;
  int32_t hx = nw.WINXPOS + 1;
  int32_t hy = nw.WINYPOS + 1;
  Drag(hx, hy, -100, -50);
  EXPECT_EQ(c->CTRL->XPOS, 900);
  EXPECT_EQ(c->CTRL->YPOS, 950);
  EXPECT_EQ(c->CTRL->WIDTH, 1100);
  EXPECT_EQ(c->CTRL->HEIGHT, 250);
}

TEST_F(DesignCanvasTest, SnappingPutsADraggedControlOnTheStepGrid) {
  ControlEntry* c = Put(4, 1000, 100);
  canvas.snap = true;
  int32_t x = c->CTRL->WINXPOS + 10;
  int32_t y = c->CTRL->WINYPOS + 10;
  Drag(x, y, 67, 13);
  EXPECT_EQ(c->CTRL->XPOS, 1080);
  EXPECT_EQ(c->CTRL->YPOS, 120);
}

TEST_F(DesignCanvasTest, EscapeCancelsADragAndAPendingInsertion) {
  ControlEntry* c = Put(4, 1000, 100);
  int32_t x = c->CTRL->WINXPOS + 10;
  int32_t y = c->CTRL->WINYPOS + 10;
  canvas.MouseDown(x, y, KeyMouseLeft);
  canvas.MouseMove(x + 300, y);
  EXPECT_TRUE(canvas.Key(runtime::KeyEscape));
  EXPECT_EQ(c->CTRL->XPOS, 1000);
  EXPECT_EQ(edits, 0);  // nothing to undo
  canvas.StartInsertControl();
  canvas.Key(runtime::KeyEscape);
  EXPECT_EQ(state.ISINSERTING, 0);
}

TEST_F(DesignCanvasTest, CtrlClickTagsAndUntagsAndHandsTheSelectionToTheLastTag) {
  ControlEntry* a = Put(4, 0, 0);
  ControlEntry* b = Put(4, 2000, 0);
  ControlEntry* c = Put(4, 4000, 0);
  Click(a, KeyMouseLeft | KeyCtrl);  // no control selected yet: just selects
  EXPECT_EQ(state.CURRENTCONTROL, a->CTRL->CTRLNO);
  Click(b, KeyMouseLeft | KeyCtrl);
  Click(c, KeyMouseLeft | KeyCtrl);
  ASSERT_EQ(state.TAGGEDCTRLS.size(), 2u);
  EXPECT_EQ(state.TAGGEDCTRLS[0]->BOXCTRL.borderColour, 0xFF0000);
  Click(b, KeyMouseLeft | KeyCtrl);
  ASSERT_EQ(state.TAGGEDCTRLS.size(), 1u);
  Click(a, KeyMouseLeft | KeyCtrl);
  EXPECT_EQ(state.CURRENTCONTROL, c->CTRL->CTRLNO);
  EXPECT_TRUE(state.TAGGEDCTRLS.empty());
  // A plain click on a tagged control keeps the group for a drag.
  Click(a, KeyMouseLeft | KeyCtrl);
  Click(a);
  EXPECT_EQ(state.CURRENTCONTROL, c->CTRL->CTRLNO);
  EXPECT_EQ(state.TAGGEDCTRLS.size(), 1u);
}

TEST_F(DesignCanvasTest, AlignAndSizeFollowTheSelectedControl) {
  ControlEntry* reference = Put(4, 1000, 300, 2000, 400);
  ControlEntry* tagged = Put(4, 10, 50, 500, 100);
  Click(reference);
  Click(tagged, KeyMouseLeft | KeyCtrl);
  canvas.Align(DesignCanvas::AlignLeft);
  EXPECT_EQ(tagged->CTRL->XPOS, 1000);
  canvas.Align(DesignCanvas::AlignRight);
  EXPECT_EQ(tagged->CTRL->XPOS, 2500);
  canvas.Align(DesignCanvas::AlignBottom);
  EXPECT_EQ(tagged->CTRL->YPOS, 600);
  canvas.Align(DesignCanvas::AlignTop);
  EXPECT_EQ(tagged->CTRL->YPOS, 300);
  canvas.Size(DesignCanvas::SameWidth);
  EXPECT_EQ(tagged->CTRL->WIDTH, 2000);
  EXPECT_EQ(tagged->CTRL->HEIGHT, 100);
  canvas.Size(DesignCanvas::SameSize);
  EXPECT_EQ(tagged->CTRL->HEIGHT, 400);
  EXPECT_EQ(reference->CTRL->XPOS, 1000);  // the reference itself stays
}

TEST_F(DesignCanvasTest, ArrowsMoveAndCtrlArrowsSizeByTheStepStoppingAtZero) {
  ControlEntry* c = Put(4, 0, 100, 1000, 200);
  Click(c);
  canvas.Key(runtime::KeyLeft);
  EXPECT_EQ(c->CTRL->XPOS, 0);
  canvas.Key(runtime::KeyRight);
  canvas.Key(runtime::KeyDown);
  EXPECT_EQ(c->CTRL->XPOS, 40);
  EXPECT_EQ(c->CTRL->YPOS, 140);
  canvas.Key(KeyCtrl + runtime::KeyRight);
  canvas.Key(KeyCtrl + runtime::KeyUp);
  EXPECT_EQ(c->CTRL->WIDTH, 1040);
  EXPECT_EQ(c->CTRL->HEIGHT, 160);
  // Without a selected control the arrows do nothing.
  canvas.Select({layout::SelectedBand, 4, nullptr});
  canvas.Key(runtime::KeyRight);
  EXPECT_EQ(c->CTRL->XPOS, 40);
}

TEST_F(DesignCanvasTest, TabRunsThroughEveryShownItemAndBackToThePaper) {
  ControlEntry* a = Put(4, 0, 0);
  ControlEntry* b = Put(5, 0, 0);
  std::vector<std::pair<uint8_t, int32_t>> seen;
  for (int i = 0; i < 7; ++i) {
    canvas.Tab(true);
    seen.emplace_back(state.SELECTEDCTRL, state.SELECTEDCTRL == layout::SelectedControl
                                              ? state.CURRENTCONTROL
                                              : state.CURRENTBAND);
  }
  using P = std::pair<uint8_t, int32_t>;
  std::vector<P> expected = {{layout::SelectedDetailArea, 0},
                             {layout::SelectedBand, 4},
                             {layout::SelectedControl, a->CTRL->CTRLNO},
                             {layout::SelectedBand, 5},
                             {layout::SelectedControl, b->CTRL->CTRLNO},
                             {layout::SelectedPaper, 5},
                             {layout::SelectedDetailArea, 5}};
  expected[5].second = seen[5].second;
  expected[6].second = seen[6].second;
  EXPECT_EQ(seen, expected);
  canvas.Tab(false);
  canvas.Tab(false);
  EXPECT_EQ(state.CURRENTCONTROL, b->CTRL->CTRLNO);
}

TEST_F(DesignCanvasTest, FormViewTabsThroughThePageFormOnly) {
  Put(4, 0, 0);
  state.AddBand(1);
  canvas.SetView('F');
  canvas.Tab(true);
  EXPECT_EQ(state.SELECTEDCTRL, layout::SelectedBand);
  EXPECT_EQ(state.CURRENTBAND, 1);
  canvas.Tab(true);
  EXPECT_EQ(state.SELECTEDCTRL, layout::SelectedPaper);
}

TEST_F(DesignCanvasTest, InsertBandOffersWhatTheViewMayShow) {
  answer = "Total";
  canvas.InsertBand();
  ASSERT_EQ(offered.size(), 1u);
  EXPECT_EQ(offered[0], "PageHeader|PageFooter|Detail|Total");
  EXPECT_TRUE(state.Band(5)->PRESENT);
  EXPECT_EQ(state.SELECTEDCTRL, layout::SelectedBand);
  EXPECT_EQ(state.CURRENTBAND, 5);
  canvas.SetView('F');
  answer = "PageForm";
  canvas.InsertBand();
  EXPECT_EQ(offered.back(), "PageForm");
  EXPECT_TRUE(state.Band(1)->PRESENT);
  canvas.InsertBand();  // nothing left to offer: no dialog
  EXPECT_EQ(offered.size(), 2u);
  answer.clear();
  canvas.SetView('B');
  canvas.InsertBand();
  EXPECT_EQ(offered.back(), "PageHeader|PageFooter|Detail");
}

TEST_F(DesignCanvasTest, DeleteBandAndDeleteControlTakeTheirSelection) {
  ControlEntry* a = Put(4, 0, 0);
  ControlEntry* b = Put(4, 2000, 0);
  Put(5, 0, 0);
  Click(a);
  Click(b, KeyMouseLeft | KeyCtrl);
  canvas.Key(runtime::KeyDelete);
  EXPECT_TRUE(state.Band(4)->BANDCONTROLS.empty());
  EXPECT_EQ(state.SELECTEDCTRL, layout::SelectedBand);
  EXPECT_EQ(state.CURRENTBAND, 4);
  canvas.Select({layout::SelectedBand, 5, nullptr});
  canvas.DeleteBand();
  EXPECT_FALSE(state.Band(5)->PRESENT);
  EXPECT_TRUE(state.Band(5)->BANDCONTROLS.empty());
  EXPECT_EQ(state.SELECTEDCTRL, layout::SelectedPaper);
}

TEST_F(DesignCanvasTest, FieldDropsFollowTheBandBitsOfTheField) {
  state.AddBand(2);
  state.AddBand(4);
  canvas.Arrange();
  const auto& detail = *state.Band(4)->CTRL;
  const auto& header = *state.Band(2)->CTRL;
  messages.Expect("Placement on header not allowed",
                  "You can not place this field on the page header", runtime::ButtonOk);
  canvas.DropField(Field(8), header.WINXPOS + 100, header.WINYPOS + 50);
  EXPECT_TRUE(state.Band(2)->BANDCONTROLS.empty());
  canvas.DropField(Field(8), detail.WINXPOS + 100, detail.WINYPOS + 50);
  canvas.DropField(Field(16), detail.WINXPOS + 300, detail.WINYPOS + 500);
  ASSERT_EQ(state.Band(4)->BANDCONTROLS.size(), 2u);
  const ControlEntry& placed = *state.Band(4)->BANDCONTROLS[0];
  EXPECT_EQ(placed.CONTROLTYPE, layout::KindField);
  EXPECT_EQ(placed.CTRL->XPOS, 100);
  EXPECT_EQ(placed.CTRL->YPOS, 50);
  EXPECT_EQ(placed.CTRL->WIDTH, -1);
  EXPECT_EQ(placed.FIELDNAME, "ITM:PRICE");
  EXPECT_EQ(placed.FONTNAME, "Arial");
  EXPECT_EQ(state.CURRENTCONTROL, state.Band(4)->BANDCONTROLS[1]->CTRL->CTRLNO);
  EXPECT_EQ(state.DESIGNCHANGED, 1);
  canvas.DropField(Field(8), 90000, 90000);  // outside every band
  EXPECT_EQ(state.Band(4)->BANDCONTROLS.size(), 2u);
}

TEST_F(DesignCanvasTest, AFieldRefusedOnEachKindOfBandSaysWhere) {
  for (int band : {2, 3}) state.AddBand(band);
  canvas.SetView('F');
  state.AddBand(1);
  canvas.Arrange();
  messages.Expect("Placement on form not allowed", "page form", runtime::ButtonOk);
  const auto& form = *state.Band(1)->CTRL;
  canvas.DropField(Field(2 | 4 | 8), form.WINXPOS + 10, form.WINYPOS + 10);
  canvas.SetView('B');
  messages.Expect("Placement on footer not allowed", "page footer", runtime::ButtonOk);
  const auto& footer = *state.Band(3)->CTRL;
  canvas.DropField(Field(1 | 2 | 8), footer.WINXPOS + 10, footer.WINYPOS + 10);
}

TEST_F(DesignCanvasTest, APictureWithTwoCommasKeepsTheSecond) {
  state.AddBand(4);
  canvas.Arrange();
  const auto& detail = *state.Band(4)->CTRL;
  canvas.DropField(Field(8, "@n-12,2,x"), detail.WINXPOS + 10, detail.WINYPOS + 10);
  EXPECT_EQ(state.Band(4)->BANDCONTROLS[0]->PICTURE, "@n-12`2,x");
}

TEST_F(DesignCanvasTest, ToolsPlaceTheirKindOfControlAtTheClick) {
  state.AddBand(4);
  canvas.Arrange();
  const auto& detail = *state.Band(4)->CTRL;
  canvas.SetTool(ToolString);
  canvas.MouseDown(detail.WINXPOS + 200, detail.WINYPOS + 300, KeyMouseLeft);
  canvas.SetTool(ToolBox);
  canvas.MouseDown(detail.WINXPOS + 1200, detail.WINYPOS + 300, KeyMouseLeft);
  ASSERT_EQ(state.Band(4)->BANDCONTROLS.size(), 2u);
  const ControlEntry& text = *state.Band(4)->BANDCONTROLS[0];
  EXPECT_EQ(text.CONTROLTYPE, layout::KindString);
  EXPECT_EQ(text.CTRL->XPOS, 200);
  EXPECT_EQ(text.PICTURE.size(), 20u);
  EXPECT_EQ(text.JUSTIFICATION, 'L');
  EXPECT_EQ(state.Band(4)->BANDCONTROLS[1]->BOXCOLOR, 0xFF0000);
  EXPECT_EQ(canvas.tool(), ToolNone);
}

TEST_F(DesignCanvasTest, EnterAndDoubleClickAskForTheSelectionsProperties) {
  ControlEntry* c = Put(4, 0, 0);
  canvas.Key(runtime::KeyEnter);
  canvas.MouseDown(c->CTRL->WINXPOS + 5, c->CTRL->WINYPOS + 5, runtime::KeyMouseLeftDouble);
  EXPECT_EQ(properties, (std::vector<uint8_t>{layout::SelectedPaper, layout::SelectedControl}));
}

TEST_F(DesignCanvasTest, ApplyPropertiesChangesTheSelectedControl) {
  ControlEntry* c = Put(4, 0, 0);
  Click(c);
  canvas.ApplyProperties("Courier New", 700, 12, 255, 3, "Total:");
  EXPECT_EQ(c->FONTNAME, "Courier New");
  EXPECT_EQ(c->JUSTIFICATION, 'R');
  EXPECT_EQ(c->PICTURE, "Total:");
  canvas.ApplyProperties("Arial", 400, 10, 0, 0, "x");
  EXPECT_EQ(c->JUSTIFICATION, 'R');
}

}  // namespace
}  // namespace ledora::designer

namespace ledora::designer {
namespace {

TEST_F(DesignCanvasTest, ThePageShowsEachControlAsItPrintsInThousandths) {
  ControlEntry* text = Put(4, 100, 50, 2000, 200);
  text->PICTURE = "Total:";
  text->JUSTIFICATION = 'R';
  text->FONTNAME = "Arial";
  text->FONTSIZE = 12;
  ControlEntry* box = Put(4, 3000, 0, 500, 500);
  box->CONTROLTYPE = layout::KindBox;
  box->BOXCOLOR = 0xFF0000;
  Put(5, 0, 0);  // shown too; the page form of form view is not
  state.AddBand(1);
  auto form = state.NewControl(layout::KindString);
  state.Band(1)->BANDCONTROLS.push_back(std::move(form));
  canvas.Arrange();
  runtime::PageImage page = DesignPage(state, canvas);
  EXPECT_EQ(page.width, 8500);
  ASSERT_EQ(page.items.size(), 3u);
  const runtime::PageItem& t = page.items[0];
  EXPECT_EQ(t.kind, runtime::ItemText);
  EXPECT_EQ(t.text, "Total:");
  EXPECT_EQ(t.x, text->CTRL->WINXPOS);
  EXPECT_EQ(t.y, text->CTRL->WINYPOS);
  EXPECT_EQ(t.width, 2000);
  EXPECT_EQ(t.align, runtime::AlignRight);
  EXPECT_EQ(page.fonts[t.font].name, "Arial");
  EXPECT_EQ(page.fonts[t.font].size, 12);
  EXPECT_EQ(page.items[1].kind, runtime::ItemBox);
  EXPECT_EQ(page.items[1].fill, 0xFF0000);
  // In millimetres the page stays in thousandths of an inch.
  canvas.SetScale('M');
  runtime::PageImage metric = DesignPage(state, canvas);
  EXPECT_EQ(metric.width, 8504);
  EXPECT_NEAR(metric.items[0].x, t.x, 40);
}

// The canvas once took what a layout leaves unset from the designer's own
// font and treated the default justification as left, while the print took
// the report's (bold when unset) and the kind's own: they must agree.
TEST_F(DesignCanvasTest, ThePageResolvesWhatTheLayoutLeavesUnsetAsThePrintDoes) {
  ControlEntry* price = Put(4, 0, 0, 2000, 200);
  price->CONTROLTYPE = layout::KindField;
  price->FIELDNAME = "ITE:PRICE";
  price->USERFIELDNAME = "Price";
  price->PICTURE = "@n-13.2";
  ControlEntry* heading = Put(4, 0, 300, 2000, 300);
  heading->PICTURE = "Items";
  heading->FONTSTYLE = 400;
  heading->FONTSIZE = 14;
  runtime::PageImage page = DesignPage(state, canvas);
  ASSERT_EQ(page.items.size(), 2u);
  EXPECT_EQ(page.items[0].text, "Price");
  EXPECT_EQ(page.items[0].align, runtime::AlignRight);
  EXPECT_TRUE(page.fonts[page.items[0].font].bold());
  EXPECT_FALSE(page.fonts[page.items[1].font].bold());
  EXPECT_EQ(page.fonts[page.items[1].font].size, 14);
}

}  // namespace
}  // namespace ledora::designer
