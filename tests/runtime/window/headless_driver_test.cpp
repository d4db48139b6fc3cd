#include "runtime/window/headless_driver.h"

#include <gtest/gtest.h>

#include "runtime/system/message_service.h"
#include "runtime/window/common_dialogs.h"
#include "runtime/window/help.h"
#include "runtime/window/window_registry.h"
#include "tests/runtime/window/window_test_support.h"

namespace ledora::runtime {
namespace {

class HeadlessDriverTest : public ::testing::Test, public WindowFixture {};

TEST_F(HeadlessDriverTest, OpeningGivesOpenSizedAndFocusEventsInOrder) {
  StartFirst();
  ASSERT_GE(first.events.size(), 3u);
  EXPECT_EQ(first.events[0].number, EventOpenWindow);
  EXPECT_EQ(first.events[1].number, EventSized);
  EXPECT_EQ(first.events[2].number, EventGainFocus);
  StartSecond();
  EXPECT_EQ(first.Count(EventLoseFocus), 1);
  EXPECT_EQ(driver.Top(), &second.window);
  driver.Close();
  EXPECT_TRUE(second.ended);
  EXPECT_EQ(first.Count(EventGainFocus), 2) << "the focus returns to the window below";
}

TEST_F(HeadlessDriverTest, HelpOpensTheGuideAtTheTopicOfTheWindowItWasAskedFrom) {
  first.window.SetFrame(true);
  first.window.AddMenu(-1, 0, "&Help");
  first.window.AddMenuItem(-2, -1, "&Contents", "", ActionHelpContents);
  first.window.AddMenuItem(-3, -1, "&Search for Help On...", "", ActionHelpSearch);
  first.window.AddMenuItem(-4, -1, "&How to Use Help", "", ActionHelpOnHelp);
  second.window.SetHelpTopic("forms");
  second.window.CreateControl(1, ControlButton);
  second.window.Find(1)->action = ActionHelpContents;
  StartFirst();
  driver.Press(first.window, -2);
  StartSecond();
  driver.Press(1);
  driver.PressKey(0, KeyF1);
  driver.Press(first.window, -2);
  driver.Press(first.window, -3);
  driver.Press(first.window, -4);
  EXPECT_EQ(presenter.helpTopics(),
            (std::vector<std::string>{"", "forms", "forms", "", "?", kHelpOnHelpTopic}))
      << "a window's Help button and F1 show its topic, the frame's menu what it names";
  EXPECT_EQ(second.Count(EventAccepted), 0) << "the runtime's own action";
  driver.Close(second.window);
  driver.Close(first.window);
}

TEST_F(HeadlessDriverTest, PrintSetupChoosesThePrinterForTheRestOfTheRun) {
  first.window.AddMenu(-1, 0, "&File");
  first.window.AddMenuItem(-2, -1, "&Print Setup ...", "Setup printer", ActionPrintSetup);
  StartFirst();
  presenter.SetPrinterName("default");
  presenter.ScriptPrinterSetup(true, "office");
  driver.Press(-2);
  EXPECT_EQ(ChosenPrinter(), "office");
  presenter.ScriptPrinterSetup(false, "cellar");
  driver.Press(-2);
  EXPECT_EQ(ChosenPrinter(), "office") << "Cancel kept the printer";
  EXPECT_EQ(first.Count(EventAccepted), 0) << "the runtime's own action reached the procedure";
}

TEST_F(HeadlessDriverTest, ALostFocusSaysWhetherTheScreenHadGivenItToTheWindow) {
  StartFirst();
  StartSecond();  // the model moves the focus before any screen gave it
  ASSERT_NE(first.Last(EventLoseFocus), nullptr);
  EXPECT_EQ(first.Last(EventLoseFocus)->value, 0);
  second.window.Activate();  // raised: here the focus is the window's at once
  EXPECT_TRUE(second.window.HadFocus());
  first.window.UserActivated(true);
  driver.Settle();
  ASSERT_NE(second.Last(EventLoseFocus), nullptr);
  EXPECT_EQ(second.Last(EventLoseFocus)->value, 1);
  driver.Close(second.window);
  driver.Close(first.window);
}

TEST_F(HeadlessDriverTest, CloseBoxClosesUnlessTheProcedureConsumesIt) {
  int refusals = 1;
  first.onEvent = [&](Window& w, const Event& e) {
    if (e.number == EventCloseWindow && refusals-- > 0) w.ConsumeEvent();
  };
  StartFirst();
  driver.Close();
  EXPECT_FALSE(first.ended);
  EXPECT_TRUE(first.window.IsOpen());
  driver.Close();
  EXPECT_TRUE(first.ended);
  EXPECT_FALSE(scheduler.HasThreads());
}

TEST_F(HeadlessDriverTest, MessageBoxWaitsForTheAnswerWhileOtherThreadsRun) {
  uint32_t answer = 0;
  first.window.CreateControl(1, ControlButton);
  first.onEvent = [&](Window&, const Event& e) {
    if (e.number != EventAccepted) return;
    MessageRequest request;
    request.caption = "Save Record";
    request.text = "Do you want to save the changes to this record?";
    request.buttons = ButtonYes | ButtonNo | ButtonCancel;
    request.defaultButton = ButtonCancel;
    answer = Messages().Show(request);
  };
  StartFirst();
  driver.Press(1);
  ASSERT_NE(driver.PendingMessage(), nullptr);
  EXPECT_EQ(driver.PendingMessage()->caption, "Save Record");
  EXPECT_EQ(answer, 0u);

  StartSecond();
  EXPECT_TRUE(second.window.IsOpen()) << "another thread runs while the question is open";
  driver.AnswerMessage(ButtonNo);
  EXPECT_EQ(answer, static_cast<uint32_t>(ButtonNo));
  EXPECT_EQ(driver.PendingMessage(), nullptr);
  EXPECT_EQ(presenter.unexpected(), 0);
}

TEST_F(HeadlessDriverTest, ScriptedAnswersComeWithoutWaiting) {
  presenter.ScriptMessage(ButtonYes);
  presenter.ScriptPopup(2);
  presenter.ScriptFileName(std::string("out.kds"));
  uint32_t box = 0;
  int32_t popup = 0;
  FileDialogRequest file;
  first.window.CreateControl(1, ControlButton);
  first.onEvent = [&](Window&, const Event& e) {
    if (e.number != EventAccepted) return;
    box =
        Messages().Show(MessageRequest{"Sure?", "Q", IconQuestion, ButtonYes | ButtonNo, ButtonNo});
    popup = Popup("One|Two");
    AskFileName(&file);
  };
  StartFirst();
  driver.Press(1);
  EXPECT_EQ(box, static_cast<uint32_t>(ButtonYes));
  EXPECT_EQ(popup, 2);
  EXPECT_EQ(file.fileName, "out.kds");
  EXPECT_EQ(presenter.popups(), (std::vector<std::string>{"One|Two"}));
  EXPECT_FALSE(presenter.HasPendingQuestion());
}

TEST_F(HeadlessDriverTest, QuestionsOutsideAThreadTakeTheDefaultAndCountAsUnexpected) {
  EXPECT_EQ(
      Messages().Show(MessageRequest{"x", "y", IconNone, ButtonOk | ButtonCancel, ButtonCancel}),
      static_cast<uint32_t>(ButtonCancel));
  int32_t colour = 5;
  EXPECT_FALSE(AskColour(&colour));
  EXPECT_EQ(colour, 5);
  EXPECT_EQ(presenter.unexpected(), 2);
}

TEST_F(HeadlessDriverTest, PagedListTurnsMovesPastItsRowsIntoScrollEvents) {
  Window& w = first.window;
  w.CreateControl(1, ControlList);
  w.SetRows(1, {{"a"}, {"b"}, {"c"}});
  w.SetSelection(1, 1);
  w.SetImmediate(1, true);
  StartFirst();
  driver.PressKey(1, KeyUp);
  EXPECT_EQ(first.Count(EventScrollUp, 1), 1);
  driver.PressKey(1, KeyDown);
  EXPECT_EQ(driver.Selection(1), 2);
  EXPECT_EQ(first.Count(EventNewSelection, 1), 1);
  driver.PressKey(1, KeyDown);
  driver.PressKey(1, KeyDown);
  EXPECT_EQ(first.Count(EventScrollDown, 1), 1);
  driver.PressKey(1, KeyPageUp);
  driver.PressKey(1, KeyPageDown);
  driver.PressKey(1, KeyCtrlHome);
  driver.PressKey(1, KeyCtrlEnd);
  EXPECT_EQ(first.Count(EventPageUp, 1), 1);
  EXPECT_EQ(first.Count(EventPageDown, 1), 1);
  EXPECT_EQ(first.Count(EventScrollTop, 1), 1);
  EXPECT_EQ(first.Count(EventScrollBottom, 1), 1);
  driver.Scroll(1, EventScrollDrag, 130);
  ASSERT_NE(first.Last(EventScrollDrag), nullptr);
  EXPECT_EQ(first.Last(EventScrollDrag)->value, 100) << "a thumb position stays within 0-100";
  driver.Scroll(1, EventSized);
  EXPECT_EQ(first.Count(EventSized, 1), 0) << "only scroll events come from a scroll bar";
}

TEST_F(HeadlessDriverTest, ListThatIsNotPagedKeepsMovesToItself) {
  Window& w = first.window;
  w.CreateControl(1, ControlList);
  w.SetRows(1, {{"a"}, {"b"}});
  w.SetSelection(1, 2);
  StartFirst();
  driver.PressKey(1, KeyDown);
  driver.PressKey(1, KeyCtrlHome);
  EXPECT_EQ(first.Count(EventScrollDown), 0);
  EXPECT_EQ(first.Count(EventScrollTop), 0);
  EXPECT_EQ(driver.Selection(1), 1);
}

TEST_F(HeadlessDriverTest, AlertKeysComeAsAlertEventsInsteadOfTheirUsualWork) {
  Window& w = first.window;
  w.CreateControl(1, ControlList);
  w.SetRows(1, {{"a"}, {"b"}});
  w.SetSelection(1, 1);
  w.CreateControl(2, ControlButton);
  w.SetDefaultButton(2);
  w.AddAlert(1, KeyMouseLeftDouble, 252);
  w.AddAlert(1, KeyMouseRightUp, 249);
  w.AddAlert(1, KeyInsert, 255);
  StartFirst();
  driver.DoubleClickRow(1, 2);
  EXPECT_EQ(driver.Selection(1), 2);
  ASSERT_NE(first.Last(EventAlertKey), nullptr);
  EXPECT_EQ(first.Last(EventAlertKey)->keyCode, KeyMouseLeftDouble);
  first.window.UserChoseRow(1, 1, KeyMouseRightUp);
  driver.Settle();
  EXPECT_EQ(first.Last(EventAlertKey)->keyCode, KeyMouseRightUp);
  EXPECT_EQ(first.Last(EventAlertKey)->value, 1) << "the row under the pointer";
  EXPECT_EQ(driver.Selection(1), 2) << "an alert key does not move the selection";
  driver.PressKey(1, KeyInsert);
  EXPECT_EQ(first.Count(EventAlertKey, 1), 3);
  driver.PressKey(1, KeyEnter);
  EXPECT_EQ(first.Count(EventAccepted, 2), 1) << "Enter presses the default button";
  w.AddAlert(1, KeyInsert, 255);
  EXPECT_EQ(w.Find(1)->alerts.size(), 3u) << "a slot holds one key";
}

TEST_F(HeadlessDriverTest, WindowAlertsCatchClicksAnywhere) {
  Window& w = first.window;
  w.AddAlert(KeyMouseLeft);
  w.AddAlert(KeyMouseRight);
  w.SetTimer(500);
  StartFirst();
  driver.Mouse(EventMouseDown, 0, 10, 10, KeyMouseRight);
  EXPECT_EQ(first.Count(EventAlertKey), 1);
  EXPECT_EQ(first.Count(EventMouseDown), 0) << "the window does not track the mouse";
  driver.Tick();
  EXPECT_EQ(first.Count(EventTimer), 1);
  w.SetTimer(0);
  driver.Tick();
  EXPECT_EQ(first.Count(EventTimer), 1);
}

TEST_F(HeadlessDriverTest, CanvasRegionReportsMouseAndPileOfMovesCollapses) {
  Window& w = first.window;
  w.CreateControl(1, ControlRegion);
  w.SetTrackMouse(1, true);
  StartFirst();
  driver.Mouse(EventMouseDown, 1, 100, 200, KeyMouseLeft | KeyCtrl);
  const Event* down = first.Last(EventMouseDown);
  ASSERT_NE(down, nullptr);
  EXPECT_EQ(down->x, 100);
  EXPECT_EQ(down->y, 200);
  EXPECT_EQ(down->keyCode, KeyMouseLeft | KeyCtrl);
  w.UserMouse(EventMouseMove, 1, 1, 1, 0);
  w.UserMouse(EventMouseMove, 1, 2, 2, 0);
  w.UserMouse(EventMouseMove, 1, 3, 4, 0);
  driver.Settle();
  EXPECT_EQ(first.Count(EventMouseMove), 1);
  EXPECT_EQ(first.Last(EventMouseMove)->y, 4);
}

TEST_F(HeadlessDriverTest, ControlsMadeAndRemovedAtRunTimeByNumber) {
  Window& w = first.window;
  StartFirst();
  int32_t box = w.CreateControl(0, ControlBox);
  EXPECT_EQ(box, 1);
  EXPECT_EQ(w.CreateControl(0, ControlString), 2);
  EXPECT_EQ(w.CreateControl(2, ControlLine), 0) << "a number in use";
  EXPECT_EQ(w.CreateControl(200, ControlGroup), 200);
  EXPECT_EQ(w.CreateControl(201, ControlButton, 200), 201);
  EXPECT_EQ(w.CreateControl(0, ControlLine), 202);
  EXPECT_TRUE(w.DestroyControl(200));
  EXPECT_EQ(w.Find(201), nullptr) << "controls inside go with their group";
  EXPECT_FALSE(w.DestroyControl(201));
  driver.Press(201);
  EXPECT_EQ(first.Count(EventAccepted), 0);
}

TEST_F(HeadlessDriverTest, DisabledAndHiddenControlsIgnoreTheUser) {
  Window& w = first.window;
  w.CreateControl(1, ControlButton);
  w.SetEnabled(1, false);
  w.CreateControl(2, ControlButton);
  w.SetHidden(2, true);
  w.CreateControl(3, ControlEntry);
  w.SetReadOnly(3, true);
  StartFirst();
  driver.Press(1);
  driver.Press(2);
  driver.Type(3, "x");
  EXPECT_EQ(first.Count(EventAccepted), 0);
  EXPECT_EQ(driver.Shown(3), "");
}

TEST_F(HeadlessDriverTest, DropCarriesTheDraggedTextToTheTargetThread) {
  Window& box = first.window;
  box.CreateControl(1, ControlList);
  box.SetRows(1, {{"CUS:NAME"}, {"CUS:CUSTOMERID"}});
  box.SetSelection(1, 2);
  box.SetDragId(1, "Field");
  Window& canvas = second.window;
  canvas.CreateControl(5, ControlRegion);
  canvas.SetDropId(5, "Other,Field");
  canvas.CreateControl(6, ControlRegion);
  canvas.SetDropId(6, "Other");
  StartFirst();
  StartSecond();
  driver.DragAndDrop(box, 1, canvas, 6, 10, 10);
  EXPECT_EQ(second.Count(EventDrop), 0) << "a target takes only the ids it names";
  driver.DragAndDrop(box, 1, canvas, 5, 300, 40);
  const Event* drop = second.Last(EventDrop);
  ASSERT_NE(drop, nullptr);
  EXPECT_EQ(drop->text, "CUS:CUSTOMERID");
  EXPECT_EQ(drop->x, 300);
  EXPECT_EQ(drop->sourceThread, 1);
  EXPECT_EQ(drop->sourceControl, 1);
  EXPECT_EQ(first.Count(EventDrag, 1), 1);
  box.SetDragText(1, "R_F:42");
  driver.DragAndDrop(box, 1, canvas, 5, 0, 0);
  EXPECT_EQ(second.Last(EventDrop)->text, "R_F:42");
}

TEST_F(HeadlessDriverTest, ToolbarPressesGoToTheActiveChildWhichMaySetTheButtons) {
  Window& frame = first.window;
  frame.SetFrame(true);
  frame.CreateControl(2000, ControlButton);
  frame.SetOnToolbar(2000, true);
  frame.AddMenu(-1, 0, "&File");
  frame.AddMenuItem(-2, -1, "E&xit", "Exit this application", ActionClose);
  frame.AddMenuItem(-3, -1, "Browse", "Browse Customers");
  second.window.SetMdiChild(true);
  StartFirst();
  StartSecond();
  driver.Press(frame, 2000);
  EXPECT_EQ(second.Count(EventAccepted, 2000), 1);
  EXPECT_EQ(first.Count(EventAccepted, 2000), 0);
  second.window.SetEnabled(2000, false);
  EXPECT_FALSE(frame.Find(2000)->enabled) << "a child reaches the frame's toolbar by number";
  driver.Press(frame, -3);
  EXPECT_EQ(first.Count(EventAccepted, -3), 1);
  driver.Press(frame, -2);
  EXPECT_EQ(first.Count(EventAccepted, -2), 0) << "a standard action is the runtime's own";
  EXPECT_EQ(first.Count(EventCloseWindow), 1);
}

}  // namespace
}  // namespace ledora::runtime

namespace ledora::runtime {
namespace {

class HeadlessLoopTest : public ::testing::Test, public WindowFixture {};

TEST_F(HeadlessLoopTest, RunToEndFiresTimersUntilTheJobFinishes) {
  int portions = 0;
  first.window.SetTimer(1);
  first.onEvent = [&](Window& w, const Event& e) {
    if (e.number == EventTimer && ++portions == 5) w.Post(EventCloseWindow);
  };
  scheduler.Start([this] { first.Run(); }, 0);
  EXPECT_TRUE(driver.RunToEnd());
  EXPECT_EQ(portions, 5);
  EXPECT_TRUE(first.ended);
}

TEST_F(HeadlessLoopTest, RunToEndGivesUpWhenOnlyAUserCouldGoOn) {
  scheduler.Start([this] { first.Run(); }, 0);
  EXPECT_FALSE(driver.RunToEnd()) << "a window without a timer waits for a user";
  first.window.SetTimer(1);
  EXPECT_FALSE(driver.RunToEnd(20)) << "a timer that never ends the job runs out of ticks";
  EXPECT_GE(first.Count(EventTimer), 20);
}

TEST_F(HeadlessLoopTest, ActivatingAnotherThreadsWindowMovesTheFocus) {
  StartFirst();
  StartSecond();
  EXPECT_EQ(WindowRegistry::Instance().Active(), &second.window);
  first.window.Activate();
  driver.Settle();
  EXPECT_EQ(WindowRegistry::Instance().Active(), &first.window);
  EXPECT_EQ(second.Count(EventLoseFocus), 1);
  EXPECT_EQ(first.Count(EventGainFocus), 2);
}

TEST_F(HeadlessLoopTest, ClosingAWindowGivesTheFocusBackToTheWindowItWasOpenedFrom) {
  RecordingProcedure form;
  StartFirst();
  StartSecond();
  first.window.Activate();
  driver.Settle();
  driver.Start([&] { form.Run(); });
  ASSERT_EQ(WindowRegistry::Instance().Active(), &form.window);
  driver.Close(form.window);
  EXPECT_EQ(WindowRegistry::Instance().Active(), &first.window) << "not the newest window";
  EXPECT_EQ(second.Count(EventGainFocus), 1);
}

}  // namespace
}  // namespace ledora::runtime

namespace ledora::runtime {
namespace {

class ThreadEndTest : public ::testing::Test, public WindowFixture {};

TEST_F(ThreadEndTest, WindowsAThreadLeavesOpenCloseWhenItEnds) {
  bool leave = false;
  driver.Start([&] {
    first.window.Open();
    Event e;
    while (!leave && first.window.Accept(&e)) {
    }
  });
  StartSecond();
  EXPECT_TRUE(first.window.IsOpen());
  leave = true;
  first.window.Post(EventTimer);
  driver.Settle();
  EXPECT_FALSE(first.window.IsOpen()) << "its thread is gone; nobody could take its events";
  EXPECT_EQ(WindowRegistry::Instance().TopWindowOf(1), nullptr);
  EXPECT_FALSE(Post(EventAccepted, 1, 1));
  EXPECT_TRUE(second.window.IsOpen());
}

}  // namespace
}  // namespace ledora::runtime
