// Windows on screen at the size the model gives them: resizable ones too,
// with or without a minimum size, in every kind of window.
#include <QMdiSubWindow>

#include "tests/runtime/qtwindow/qt_window_fixture.h"

namespace ledora::runtime {
namespace {

enum Kind { KindTool, KindModal, KindMdiChild };

class QtWindowSizeTest : public QtWindowFixture, public ::testing::WithParamInterface<Kind> {
 protected:
  void TearDown() override {
    for (Window* w : {&window, &frame}) w->Post(EventCloseWindow);
    Pump([&] { return !scheduler.HasThreads(); });
  }

  // Opens the window of the kind under test, in pixels so sizes compare.
  void Open() {
    if (GetParam() == KindMdiChild) {
      frame.SetFrame(true);
      frame.SetUnit(UnitPixels);
      frame.SetSize(900, 700);
      ASSERT_TRUE(OpenOnThread(frame));
      window.SetMdiChild(true);
    }
    window.SetModal(GetParam() == KindModal);
    window.SetUnit(UnitPixels);
    window.SetResizable(true);
    window.CreateControl(1, ControlButton);
    window.SetRect(1, {10, 10, 80, 24});
    ASSERT_TRUE(OpenOnThread(window));
    Settle();
  }

  QSize Client() { return View(window)->content()->size(); }

  Window frame;
  Window window;
};

TEST_P(QtWindowSizeTest, ResizableWindowOpensAtItsDesignedSizeWithoutAMinimum) {
  window.SetSize(320, 180);
  Open();
  EXPECT_EQ(Client(), QSize(320, 180));
  EXPECT_EQ(window.geometry().width, 320) << "the model kept its size";
  EXPECT_EQ(window.geometry().height, 180);

  window.SetSize(400, 250);
  ASSERT_TRUE(Pump([&] { return Client() == QSize(400, 250); })) << "a later size is shown";
}

TEST_P(QtWindowSizeTest, MinimumSizeHoldsWhenTheUserShrinksTheWindow) {
  window.SetSize(320, 180);
  window.SetMinimumSize(250, 150);
  Open();
  EXPECT_EQ(Client(), QSize(320, 180));
  View(window)->top()->resize(20, 20);
  Settle();
  EXPECT_GE(Client().width(), 250);
  EXPECT_GE(Client().height(), 150);
  EXPECT_GE(window.geometry().width, 250) << "the model hears of the size it got";
}

TEST_P(QtWindowSizeTest, UserResizeIsKeptWhenTheWindowChangesOtherwise) {
  window.SetSize(320, 180);
  Open();
  View(window)->top()->resize(View(window)->top()->size() + QSize(60, 40));
  ASSERT_TRUE(Pump([&] { return Client() == QSize(380, 220); }));
  ASSERT_TRUE(Pump([&] { return window.geometry().width == 380; }));
  window.SetTitle("renamed");
  Settle();
  EXPECT_EQ(Client(), QSize(380, 220));
}

std::string KindName(const ::testing::TestParamInfo<Kind>& info) {
  switch (info.param) {
    case KindTool:
      return "Tool";
    case KindModal:
      return "Modal";
    default:
      return "MdiChild";
  }
}

INSTANTIATE_TEST_SUITE_P(EveryKind, QtWindowSizeTest,
                         ::testing::Values(KindTool, KindModal, KindMdiChild), KindName);

}  // namespace
}  // namespace ledora::runtime
