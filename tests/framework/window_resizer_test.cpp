#include "framework/window_resizer.h"

#include <gtest/gtest.h>

#include <vector>

namespace ledora::framework {
namespace {

using runtime::Rect;
using runtime::Window;

enum Controls { kEntry = 1, kButton = 2, kList = 3, kPrompt = 4, kGroup = 5, kInGroup = 6 };

// A form of 200 x 100 units: an entry, an OK-style button near the bottom
// right, a list, a prompt, and a group holding an entry.
class WindowResizerTest : public ::testing::Test {
 protected:
  WindowResizerTest() {
    window.SetSize(200, 100);
    Add(kEntry, runtime::ControlEntry, {10, 10, 80, 12});
    Add(kButton, runtime::ControlButton, {150, 80, 40, 14});
    Add(kList, runtime::ControlList, {10, 30, 100, 40});
    Add(kPrompt, runtime::ControlPrompt, {120, 10, 30, 10});
    Add(kGroup, runtime::ControlGroup, {120, 30, 70, 40});
    Add(kInGroup, runtime::ControlEntry, {130, 40, 40, 12});
    window.AddMenu(-1, 0, "&File");
  }

  void Add(int32_t number, runtime::ControlType type, Rect rect) {
    window.CreateControl(number, type);
    window.SetRect(number, rect);
  }
  void ResizeTo(int32_t width, int32_t height) {
    window.UserResized(width, height);
    resizer.OnSized();
  }
  std::vector<Rect> All() const {
    std::vector<Rect> rects;
    for (const auto& c : window.controls()) rects.push_back(window.GetRect(c->number));
    return rects;
  }

  Window window;
  WindowResizer resizer;
};

TEST_F(WindowResizerTest, BackToTheFirstSizeRestoresEveryControlExactly) {
  resizer.Setup(&window, AppStrategySpread, false, false);
  std::vector<Rect> first = All();
  ResizeTo(317, 143);
  EXPECT_NE(All(), first);
  ResizeTo(123, 91);
  ResizeTo(200, 100);
  EXPECT_EQ(All(), first);
}

TEST_F(WindowResizerTest, AResizeToTheSameSizeMovesNothing) {
  resizer.Setup(&window, AppStrategySpread, false, false);
  ResizeTo(300, 150);
  std::vector<Rect> before = All();
  window.SetRect(kEntry, {1, 1, 5, 5});
  resizer.OnSized();
  EXPECT_TRUE(resizer.RESIZELIST->empty());
  EXPECT_EQ(window.GetRect(kEntry), (Rect{1, 1, 5, 5}));
  EXPECT_EQ(window.GetRect(kButton), before[1]);
}

TEST_F(WindowResizerTest, AButtonKeepsItsSizeAndItsDistanceToTheNearerEdges) {
  resizer.Setup(&window, AppStrategySpread, false, false);
  ResizeTo(300, 160);
  // 10 from the right and 6 from the bottom before; the same after.
  EXPECT_EQ(window.GetRect(kButton), (Rect{250, 140, 40, 14}));
  ResizeTo(180, 90);
  EXPECT_EQ(window.GetRect(kButton), (Rect{130, 70, 40, 14}));
}

TEST_F(WindowResizerTest, SpreadStrategyStretchesListsAndKeepsEntriesAtTheTop) {
  resizer.Setup(&window, AppStrategySpread, false, false);
  ResizeTo(400, 200);
  // The list keeps its left and top and its margins to the right and bottom.
  EXPECT_EQ(window.GetRect(kList), (Rect{10, 30, 300, 140}));
  // The entry keeps its top and height, its x and width scale.
  EXPECT_EQ(window.GetRect(kEntry), (Rect{20, 10, 160, 12}));
}

TEST_F(WindowResizerTest, SurfaceStrategyScalesEverythingButButtonsAndEntryHeights) {
  resizer.Setup(&window, AppStrategySurface, false, false);
  ResizeTo(400, 200);
  EXPECT_EQ(window.GetRect(kList), (Rect{20, 60, 200, 80}));
  EXPECT_EQ(window.GetRect(kEntry), (Rect{20, 20, 160, 12}));
  EXPECT_EQ(window.GetRect(kButton), (Rect{350, 180, 40, 14}));
}

TEST_F(WindowResizerTest, ControlsInsideAGroupMoveWithTheGroup) {
  resizer.Setup(&window, AppStrategySpread, false, false);
  EXPECT_EQ(resizer.ParentOf(kInGroup), kGroup);
  EXPECT_EQ(resizer.Entry(kGroup)->HASCHILDREN, 1);
  ResizeTo(400, 100);
  Rect group = window.GetRect(kGroup);
  Rect inside = window.GetRect(kInGroup);
  EXPECT_EQ(group, (Rect{120, 30, 270, 40}));
  // Its offset in the group scales with the group; it stays inside.
  EXPECT_GE(inside.x, group.x);
  EXPECT_LE(inside.x + inside.width, group.x + group.width);
  EXPECT_EQ(inside.x, 120 + 10 * 270 / 70);
}

TEST_F(WindowResizerTest, MenusKeepNoRectangle) {
  resizer.Setup(&window, AppStrategySpread, false, false);
  ASSERT_NE(resizer.Entry(-1), nullptr);
  EXPECT_FALSE(resizer.Entry(-1)->sized);
  EXPECT_EQ(resizer.Entry(-1)->TYPE, runtime::ControlMenu);
}

TEST_F(WindowResizerTest, WithTheMinimumSetTheWindowCannotShrinkBelowItsDesign) {
  resizer.Setup(&window, AppStrategySpread, true, false);
  std::vector<Rect> first = All();
  ResizeTo(100, 50);
  EXPECT_EQ(window.geometry().width, 200);
  EXPECT_EQ(window.geometry().height, 100);
  EXPECT_EQ(All(), first);
  ResizeTo(150, 300);
  EXPECT_EQ(window.geometry().width, 200);
  EXPECT_EQ(window.geometry().height, 300);
}

TEST_F(WindowResizerTest, AutoTransparentTurnsPromptsTransparentOnTheFirstResize) {
  resizer.Setup(&window, AppStrategySpread, true, false);
  resizer.AUTOTRANSPARENT = 1;
  EXPECT_FALSE(window.Find(kPrompt)->transparent);
  ResizeTo(250, 120);
  EXPECT_TRUE(window.Find(kPrompt)->transparent);
  EXPECT_FALSE(window.Find(kEntry)->transparent);
  EXPECT_EQ(resizer.RESIZECALLED, 1);
}

TEST_F(WindowResizerTest, AMinimisedWindowIsLeftAlone) {
  resizer.Setup(&window, AppStrategySpread, false, false);
  std::vector<Rect> first = All();
  window.SetMinimised(true);
  ResizeTo(20, 10);
  EXPECT_EQ(All(), first);
}

TEST_F(WindowResizerTest, RestoreOriginalSizeGivesBackWindowAndControls) {
  resizer.Setup(&window, AppStrategySpread, false, false);
  std::vector<Rect> first = All();
  window.SetMaximised(true);
  ResizeTo(600, 400);
  resizer.RestoreOriginalSize();
  EXPECT_FALSE(window.IsMaximised());
  EXPECT_EQ(window.geometry().width, 200);
  EXPECT_EQ(All(), first);
}

TEST_F(WindowResizerTest, AWindowDesignedWithoutSizeDoesNotDivideByZero) {
  window.SetSize(0, 0);
  resizer.Setup(&window, AppStrategySurface, false, false);
  ResizeTo(300, 200);
  EXPECT_EQ(window.GetRect(kList), (Rect{10, 30, 100, 40}));
}

TEST_F(WindowResizerTest, AfterShutdownSizedEventsChangeNothing) {
  resizer.Setup(&window, AppStrategySpread, false, false);
  std::vector<Rect> first = All();
  resizer.Shutdown();
  ResizeTo(400, 300);
  EXPECT_EQ(All(), first);
  EXPECT_EQ(resizer.CONTROLQUEUE, nullptr);
}

TEST(WindowResizerCompute, NearestEdgeAndCentreRules) {
  WindowResizer resizer;
  WindowResizer::ControlEntry entry;
  entry.POS = {10, 70, 20, 10};
  entry.RESIZESTRATEGY = LockWidth | LockHeight;
  entry.POSITIONALSTRATEGY = FixNearestX | FixNearestY;
  WindowResizer::Geometry from{0, 0, 100, 100};
  WindowResizer::Geometry to{0, 0, 200, 300};
  // Nearer the left and the bottom.
  EXPECT_EQ(resizer.ComputeRectangle(entry, from, to), (WindowResizer::Geometry{10, 270, 20, 10}));
  entry.POSITIONALSTRATEGY = FixXCentre | FixYPos;
  entry.POS = {40, 5, 20, 10};
  // Centred before (40..60 of 100), centred after (90..110 of 200); y stays.
  EXPECT_EQ(resizer.ComputeRectangle(entry, from, to), (WindowResizer::Geometry{90, 5, 20, 10}));
  entry.RESIZESTRATEGY = 0;
  entry.POSITIONALSTRATEGY = FixRight | FixBottom;
  entry.POS = {60, 60, 30, 30};
  // Scaled: the distance to the far edges scales with the window too.
  EXPECT_EQ(resizer.ComputeRectangle(entry, from, to), (WindowResizer::Geometry{120, 180, 60, 90}));
}

}  // namespace
}  // namespace ledora::framework
