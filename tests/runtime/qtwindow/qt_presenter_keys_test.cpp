// Keys as the user presses them in real windows: Return and Escape in popup
// menus and message boxes belong to them, not to the window underneath;
// in a form Return presses the default button, or the button with the focus.
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

#include "runtime/qtwindow/qt_help_window.h"
#include "runtime/system/message_service.h"
#include "runtime/window/common_dialogs.h"
#include "runtime/window/help.h"
#include "tests/runtime/qtwindow/qt_window_fixture.h"

namespace ledora::runtime {
namespace {

class QtPresenterKeysTest : public QtWindowFixture {
 protected:
  // A form: an entry, OK (the default button) and Cancel.
  void BuildForm() {
    form.SetModal(true);
    form.SetUnit(UnitPixels);
    form.SetSize(240, 90);
    form.CreateControl(1, ControlEntry);
    form.SetRect(1, {10, 10, 150, 20});
    form.CreateControl(2, ControlButton);
    form.SetRect(2, {10, 50, 70, 24});
    form.SetText(2, "OK");
    form.SetDefaultButton(2);
    form.CreateControl(3, ControlButton);
    form.SetRect(3, {90, 50, 70, 24});
    form.SetText(3, "Cancel");
  }

  // Runs the form's loop on a thread. With work, the form gets the focus
  // first, as a user's form would have it, and then its thread does the work.
  void StartForm(std::function<void()> work) {
    scheduler.Start(
        [this] {
          form.Open();
          Event e;
          while (form.Accept(&e)) {
            if (e.number == EventTimer && work_) std::exchange(work_, nullptr)();
            events.push_back(e);
            if (!stop) form.ConsumeEvent();
          }
        },
        0);
    ASSERT_TRUE(Pump([&] { return View(form) != nullptr; }));
    ASSERT_TRUE(FocusOn(View(form)->WidgetOf(1)));
    if (!work) return;
    work_ = std::move(work);
    form.Post(EventTimer);
  }

  bool Got(int32_t number, int32_t control) {
    return std::any_of(events.begin(), events.end(),
                       [&](const Event& e) { return e.number == number && e.control == control; });
  }

  void CloseForm() {
    stop = true;
    form.Post(EventCloseWindow);
    Pump([&] { return !scheduler.HasThreads(); });
    form.Close();
  }

  // The message box showing once the last one has gone.
  QMessageBox* NextBox() {
    QMessageBox* box = nullptr;
    Pump([&] {
      box = lastBox.isNull() ? VisibleTopLevel<QMessageBox>() : nullptr;
      return box != nullptr;
    });
    lastBox = box;
    return box;
  }

  // The form heard nothing of keys meant for the menus and boxes over it.
  void ExpectFormUntouched() {
    ASSERT_TRUE(Pump([&] { return form.PendingEvents() == 0; }));
    EXPECT_FALSE(Got(EventCloseWindow, 0));
    EXPECT_FALSE(Got(EventAccepted, 2));
    EXPECT_TRUE(form.IsOpen());
  }

  Window form;
  std::vector<Event> events;
  std::function<void()> work_;
  bool stop = false;
  QPointer<QMessageBox> lastBox;
};

TEST_F(QtPresenterKeysTest, ReturnChoosesThePopupEntryReachedWithTheArrowsEscapeChoosesNone) {
  BuildForm();
  std::vector<int32_t> choices;
  StartForm([&] {
    choices.push_back(Popup("Insert|Change|Delete"));
    choices.push_back(Popup("Insert|Change|Delete"));
  });

  QMenu* menu = nullptr;
  ASSERT_TRUE(Pump([&] { return (menu = VisibleTopLevel<QMenu>()) != nullptr; }));
  ASSERT_TRUE(Pump([&] { return QApplication::activePopupWidget() == menu; }));
  PressKey(Qt::Key_Down);
  PressKey(Qt::Key_Down);
  ASSERT_NE(menu->activeAction(), nullptr);
  EXPECT_EQ(menu->activeAction()->text(), "Change");
  PressKey(Qt::Key_Return);
  ASSERT_TRUE(Pump([&] { return choices.size() == 1; })) << "Return did not choose the entry";
  EXPECT_EQ(choices[0], 2);

  QMenu* second = nullptr;
  ASSERT_TRUE(Pump([&] {
    second = VisibleTopLevel<QMenu>();
    return second != nullptr && QApplication::activePopupWidget() == second;
  }));
  PressKey(Qt::Key_Down);
  PressKey(Qt::Key_Escape);
  ASSERT_TRUE(Pump([&] { return choices.size() == 2; })) << "Escape did not close the menu";
  EXPECT_EQ(choices[1], 0);
  ExpectFormUntouched();
  CloseForm();
}

TEST_F(QtPresenterKeysTest, MessageBoxTakesReturnForItsDefaultAndEscapeForItsEscapeAnswer) {
  BuildForm();
  std::vector<uint32_t> answers;
  StartForm([&] {
    const uint32_t yesNoCancel = ButtonYes | ButtonNo | ButtonCancel;
    answers.push_back(
        Messages().Show({"Save?", "Save Record", IconQuestion, yesNoCancel, ButtonNo}));
    answers.push_back(Messages().Show(
        {"Delete?", "Confirm Delete", IconQuestion, ButtonYes | ButtonNo, ButtonYes}));
    answers.push_back(Messages().Show(
        {"Delete?", "Confirm Delete", IconQuestion, ButtonYes | ButtonNo, ButtonYes}));
    answers.push_back(
        Messages().Show({"Stop?", "Error", IconHand, ButtonRetry | ButtonIgnore, ButtonRetry}));
  });

  // Each box has the focus on its default button, as it opens.
  auto answer = [&](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) -> uint32_t {
    size_t before = answers.size();
    QMessageBox* box = NextBox();
    if (box == nullptr || !FocusOn(box->defaultButton())) return 0;
    PressKey(key, modifiers);
    return Pump([&] { return answers.size() > before; }) ? answers.back() : 0;
  };
  EXPECT_EQ(answer(Qt::Key_Return), static_cast<uint32_t>(ButtonNo)) << "Return: the default";
  EXPECT_EQ(answer(Qt::Key_Enter, Qt::KeypadModifier), static_cast<uint32_t>(ButtonYes));
  EXPECT_EQ(answer(Qt::Key_Escape), static_cast<uint32_t>(ButtonNo)) << "Escape in Yes/No";
  EXPECT_EQ(answer(Qt::Key_Escape), static_cast<uint32_t>(ButtonIgnore)) << "Escape, no Cancel";
  ASSERT_EQ(answers.size(), 4u);
  ExpectFormUntouched();
  CloseForm();
}

TEST_F(QtPresenterKeysTest, TheFocusGoesBackToTheControlThatHadItBeforeAMessageBox) {
  BuildForm();
  bool answered = false;
  StartForm([&] {
    Messages().Show({"Saved.", "Note", IconAsterisk, ButtonOk, ButtonOk});
    answered = true;
  });
  QWidget* entry = View(form)->WidgetOf(1);
  QMessageBox* box = NextBox();
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(FocusOn(box->defaultButton()));
  PressKey(Qt::Key_Return);
  ASSERT_TRUE(Pump([&] { return answered; }));
  EXPECT_TRUE(Pump([&] { return QApplication::focusWidget() == entry; }))
      << "the keys go nowhere after the box";
  CloseForm();
}

TEST_F(QtPresenterKeysTest, F1ShowsTheGuideAtTheTopicOfTheForm) {
  std::string guide = (std::filesystem::temp_directory_path() / "ledora_guide_test.html").string();
  std::ofstream(guide) << "<h1>Guide</h1><p>Starting</p><h2><a name=\"forms\"></a>Forms</h2>";
  SetHelpFile(guide);
  BuildForm();
  form.SetHelpTopic("forms");
  StartForm(nullptr);
  PressKey(Qt::Key_F1);
  QtHelpWindow* window = nullptr;
  ASSERT_TRUE(Pump([&] { return (window = VisibleTopLevel<QtHelpWindow>()) != nullptr; }));
  auto* help = window->findChild<QTextBrowser*>();
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(help->source().fragment(), "forms");
  EXPECT_TRUE(help->toPlainText().contains("Forms"));
  ExpectFormUntouched();
  window->close();
  CloseForm();
  SetHelpFile("");
  std::filesystem::remove(guide);
}

TEST_F(QtPresenterKeysTest, FormPressesOkOnReturnTheFocusedButtonOnReturnAndClosesOnEscape) {
  BuildForm();
  StartForm(nullptr);
  ASSERT_TRUE(FocusOn(View(form)->WidgetOf(1)));
  PressKey(Qt::Key_Return);
  ASSERT_TRUE(Pump([&] { return Got(EventAccepted, 2); })) << "Return in an entry";

  events.clear();
  ASSERT_TRUE(FocusOn(View(form)->WidgetOf(3)));
  PressKey(Qt::Key_Return);
  ASSERT_TRUE(Pump([&] { return Got(EventAccepted, 3); })) << "Return on Cancel";
  EXPECT_FALSE(Got(EventAccepted, 2)) << "Return on Cancel pressed OK";

  events.clear();
  ASSERT_TRUE(FocusOn(View(form)->WidgetOf(1)));
  PressKey(Qt::Key_Escape);
  ASSERT_TRUE(Pump([&] { return Got(EventCloseWindow, 0); })) << "Escape in an entry";
  CloseForm();
}

}  // namespace
}  // namespace ledora::runtime
