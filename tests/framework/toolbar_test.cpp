#include <gtest/gtest.h>

#include <vector>

#include "framework/browse_toolbar_target.h"
#include "framework/procedure_frame.h"
#include "framework/toolbar_router.h"
#include "runtime/window/window_registry.h"
#include "tests/framework/note_file.h"

namespace ledora::testing {
namespace {

using framework::BrowseToolbarTarget;
using framework::ProcedureFrame;
using framework::ToolbarRouter;

enum Controls {
  kList = 5,
  kInsert = 6,
  kChange = 7,
  kDelete = 8,
  kSelect = 9,
  kOk = 10,
  kSheet = 20,
  kTab1 = 21,
  kTab2 = 22,
  kList2 = 23,
};

// Records the events that reach a browse's list.
class ListSpy : public framework::FrameBrowse {
 public:
  explicit ListSpy(ProcedureFrame& frame) : frame_(frame) {}
  void SetSelecting(bool) override {}
  data::Severity HandleEvent() override {
    const runtime::Event& e = frame_.event();
    if (e.control == kList || e.control == kList2) listEvents.push_back(e.number);
    if (e.number == runtime::EventAccepted) accepted.push_back(e.accepted);
    return data::SeverityNone;
  }
  void ApplySortOrder(uint8_t) override {}
  void RefreshDisplay() override {}
  void RegisterAlerts() override {}
  void RereadSelectedRow() override { ++synced; }
  bool NeedsRefresh() override { return false; }
  void Shutdown() override {}

  std::vector<int32_t> listEvents;
  std::vector<int32_t> accepted;
  int synced = 0;

 private:
  ProcedureFrame& frame_;
};

// The program's frame with its toolbar, and one browse child that owns it.
class ToolbarTest : public ::testing::Test, public HeadlessWindows {
 protected:
  ToolbarTest() : spy(browse) {
    frameWindow.SetTitle("Frame");
    frameWindow.SetFrame(true);
    ToolbarRouter::CreateButtons(frameWindow);
    browseWindow.SetTitle("Browse");
    browseWindow.SetMdiChild(true);
    browseWindow.CreateControl(kList, runtime::ControlList);
    browseWindow.CreateControl(kInsert, runtime::ControlButton);
    browseWindow.CreateControl(kChange, runtime::ControlButton);
    browseWindow.CreateControl(kDelete, runtime::ControlButton);
    browse.SetWindow(&browseWindow);
  }
  ~ToolbarTest() override { CloseAll(); }

  void OpenFrame() {
    driver.Start([this] {
      frameWindow.Open();
      runtime::Event e;
      while (frameWindow.Accept(&e)) {
      }
    });
  }
  void OpenBrowse(bool selecting = false) {
    driver.Start([this, selecting] {
      framework::PendingRequest = selecting ? framework::RequestSelect : 0;
      browse.REQUEST = framework::PendingRequest;
      browse.Initialize();
      browse.AddBrowse(&spy);
      browse.AttachToolbar(&toolbar);
      target.Setup(&browseWindow, &spy, kList);
      target.INSERTBUTTON = kInsert;
      target.CHANGEBUTTON = kChange;
      target.DELETEBUTTON = kDelete;
      target.SELECTBUTTON = selecting ? kSelect : 0;
      toolbar.RegisterTarget(&target, kList);
      if (extraTarget != nullptr) toolbar.RegisterTarget(extraTarget, kList2);
      browse.OpenWindow();
      toolbar.ShowButtons();
      browse.EventLoop();
      browse.Shutdown();
      response = browse.RESPONSE;
    });
  }
  runtime::Control& FrameButton(int32_t number) { return *frameWindow.Find(number); }

  runtime::Window frameWindow;
  runtime::Window browseWindow;
  ProcedureFrame browse;
  ListSpy spy;
  ToolbarRouter toolbar;
  BrowseToolbarTarget target;
  framework::ToolbarTarget* extraTarget = nullptr;
  uint8_t response = 0;
};

TEST_F(ToolbarTest, TheFrameHasThirteenButtonsThatWaitForAnOwner) {
  for (int32_t number = framework::ToolbarInsert; number <= framework::ToolbarHelp; ++number) {
    const runtime::Control* button = frameWindow.Find(number);
    ASSERT_NE(button, nullptr) << number;
    EXPECT_TRUE(button->onToolbar);
    EXPECT_FALSE(button->enabled);
  }
}

TEST_F(ToolbarTest, TakingTheToolbarSetsTipsAndButtonsFromTheBrowse) {
  OpenFrame();
  OpenBrowse();
  EXPECT_EQ(toolbar.current(), &target);
  EXPECT_EQ(FrameButton(framework::ToolbarInsert).tip, "Insert a new Record");
  EXPECT_EQ(FrameButton(framework::ToolbarBottom).tip, "Go to the Last Page");
  EXPECT_EQ(FrameButton(framework::ToolbarTop).tip, "Go to the First Page");
  EXPECT_EQ(FrameButton(framework::ToolbarPageDown).tip, "Go to the Next Page");
  EXPECT_EQ(FrameButton(framework::ToolbarPageUp).tip, "Go to the Prior Page");
  EXPECT_EQ(FrameButton(framework::ToolbarDown).tip, "Go to the Next Record");
  EXPECT_EQ(FrameButton(framework::ToolbarUp).tip, "Go to the Prior Record");
  EXPECT_TRUE(FrameButton(framework::ToolbarInsert).enabled);
  EXPECT_TRUE(FrameButton(framework::ToolbarChange).enabled);
  EXPECT_TRUE(FrameButton(framework::ToolbarDelete).enabled);
  EXPECT_FALSE(FrameButton(framework::ToolbarSelect).enabled) << "the browse has no Select";
  EXPECT_FALSE(FrameButton(framework::ToolbarHistory).enabled);
  EXPECT_FALSE(FrameButton(framework::ToolbarHelp).enabled) << "nor a Help button";
  for (int32_t n = framework::ToolbarBottom; n <= framework::ToolbarLocate; ++n) {
    EXPECT_TRUE(FrameButton(n).enabled) << n;
  }
}

TEST_F(ToolbarTest, DisabledBrowseButtonsDisableTheirToolbarButtons) {
  OpenFrame();
  browseWindow.SetEnabled(kChange, false);
  browseWindow.SetHidden(kDelete, true);
  OpenBrowse();
  EXPECT_FALSE(FrameButton(framework::ToolbarChange).enabled);
  EXPECT_TRUE(FrameButton(framework::ToolbarDelete).enabled)
      << "a hidden but enabled button still takes the press";
  browseWindow.SetEnabled(kChange, true);
  toolbar.ShowButtons();
  EXPECT_TRUE(FrameButton(framework::ToolbarChange).enabled);
}

TEST_F(ToolbarTest, NavigationButtonsScrollTheBrowseList) {
  OpenFrame();
  OpenBrowse();
  const std::vector<std::pair<int32_t, int32_t>> presses = {
      {framework::ToolbarBottom, runtime::EventScrollBottom},
      {framework::ToolbarTop, runtime::EventScrollTop},
      {framework::ToolbarPageDown, runtime::EventPageDown},
      {framework::ToolbarPageUp, runtime::EventPageUp},
      {framework::ToolbarDown, runtime::EventScrollDown},
      {framework::ToolbarUp, runtime::EventScrollUp},
      {framework::ToolbarLocate, runtime::EventLocate},
  };
  std::vector<int32_t> expected;
  for (auto [button, event] : presses) {
    driver.Press(frameWindow, button);
    expected.push_back(event);
  }
  EXPECT_EQ(spy.listEvents, expected);
}

TEST_F(ToolbarTest, RecordButtonsPressTheBrowseButtons) {
  OpenFrame();
  OpenBrowse();
  driver.Press(frameWindow, framework::ToolbarInsert);
  driver.Press(frameWindow, framework::ToolbarChange);
  driver.Press(frameWindow, framework::ToolbarDelete);
  std::vector<int32_t> own;
  for (int32_t control : spy.accepted) {
    if (!framework::IsToolbarButton(control)) own.push_back(control);
  }
  EXPECT_EQ(own, (std::vector<int32_t>{kInsert, kChange, kDelete}));
}

TEST_F(ToolbarTest, SelectFromTheToolbarReturnsTheSelectedRow) {
  browseWindow.CreateControl(kSelect, runtime::ControlButton);
  OpenFrame();
  OpenBrowse(true);
  EXPECT_TRUE(FrameButton(framework::ToolbarSelect).enabled);
  driver.Press(frameWindow, framework::ToolbarSelect);
  EXPECT_EQ(spy.synced, 1);
  EXPECT_FALSE(browseWindow.IsOpen());
  EXPECT_EQ(response, framework::ResponseCompleted);
}

TEST_F(ToolbarTest, ReTargetingGivesTheToolbarToTheListOnTheShownTab) {
  browseWindow.CreateControl(kSheet, runtime::ControlSheet);
  browseWindow.CreateControl(kTab1, runtime::ControlTab, kSheet);
  browseWindow.CreateControl(kTab2, runtime::ControlTab, kSheet);
  browseWindow.CreateControl(kList2, runtime::ControlList, kTab2);
  browseWindow.Find(kList)->parent = kTab1;
  browseWindow.SetSelection(kSheet, 1);
  BrowseToolbarTarget second;
  second.Setup(&browseWindow, &spy, kList2);
  extraTarget = &second;
  OpenFrame();
  OpenBrowse();
  EXPECT_EQ(toolbar.current(), &target);
  driver.ChooseTab(kSheet, 2);
  EXPECT_EQ(toolbar.current(), &second);
  EXPECT_FALSE(FrameButton(framework::ToolbarInsert).enabled) << "the second list has no Insert";
  driver.Press(frameWindow, framework::ToolbarPageDown);
  EXPECT_EQ(spy.listEvents.back(), runtime::EventPageDown);
  driver.ChooseTab(kSheet, 1);
  EXPECT_EQ(toolbar.current(), &target);
  EXPECT_TRUE(FrameButton(framework::ToolbarInsert).enabled);
}

TEST_F(ToolbarTest, AFormWithoutTargetsSavesAndNotesTheNavigationRequest) {
  browseWindow.CreateControl(kOk, runtime::ControlButton);
  OpenFrame();
  driver.Start([this] {
    browse.Initialize();
    browse.VCRREQUEST = &framework::NavigationRequest;
    browse.AttachToolbar(&toolbar);
    browse.OKCONTROL = kOk;
    browse.AddBrowse(&spy);
    browse.OpenWindow();
    browse.EventLoop();
    browse.Shutdown();
  });
  framework::NavigationRequest = 0;
  EXPECT_TRUE(FrameButton(framework::ToolbarDown).enabled);
  EXPECT_FALSE(FrameButton(framework::ToolbarChange).enabled);
  EXPECT_FALSE(FrameButton(framework::ToolbarHistory).enabled) << "the form keeps no history";
  driver.Press(frameWindow, framework::ToolbarDown);
  EXPECT_EQ(framework::NavigationRequest, framework::ToolbarDown);
  ASSERT_GE(spy.accepted.size(), 2u);
  EXPECT_EQ(spy.accepted.back(), kOk) << "the form is saved through OK";
  framework::NavigationRequest = 0;
}

}  // namespace
}  // namespace ledora::testing
