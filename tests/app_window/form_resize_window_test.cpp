// The invoice form maximised and restored from the window manager's menu
// (Alt+Space) as a user does it: the program runs in this process, so the
// form's widgets can be looked at where Qt has put them.
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QMetaObject>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/program.h"
#include "runtime/ini/ini_file.h"
#include "runtime/qtwindow/qt_program.h"
#include "runtime/qtwindow/qt_window_view.h"
#include "tests/app_window/demo_folder.h"
#include "tests/app_window/program_window_test_base.h"

namespace ledora::testing {
namespace {

constexpr char kForm[] = "Adding a Invoices Record";

class FormResizeWindowTest : public ProgramWindowTest {
 protected:
  void SetUp() override {
    ProgramWindowTest::SetUp();
    if (IsSkipped()) return;
    FillDemoFolder(data_.path(), {.customers = 5, .items = 10, .invoices = 5});
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(data_.path());
    pid_ = getpid();
    exited_ = true;  // this process: never killed by the fixture
  }
  void TearDown() override {
    if (!previous_.empty()) std::filesystem::current_path(previous_);
  }

  // On the GUI thread: the form's size and every shown control that does
  // not lie wholly inside it.
  std::vector<std::string> Outside(QSize* size) {
    std::vector<std::string> outside;
    QMetaObject::invokeMethod(
        qApp,
        [&] {
          for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* form = qobject_cast<QDialog*>(top);
            if (form == nullptr || !form->isVisible() || form->windowTitle() != kForm) continue;
            *size = form->size();
            for (QWidget* w : form->findChildren<QWidget*>()) {
              QVariant number = w->property(runtime::QtWindowView::kControlProperty);
              if (!number.isValid() || !w->isVisibleTo(form)) continue;
              QRect at(w->mapTo(form, QPoint(0, 0)), w->size());
              if (!form->rect().contains(at) || at.isEmpty()) {
                outside.push_back("control " + number.toString().toStdString());
              }
            }
          }
        },
        Qt::BlockingQueuedConnection);
    return outside;
  }

  std::filesystem::path previous_;
};

TEST_F(FormResizeWindowTest, AMaximisedAndRestoredInvoiceFormShowsEveryControlInsideIt) {
  QSize first, maximised, restored;
  std::vector<std::string> whenMaximised, whenRestored;
  std::atomic<bool> ended = false;
  std::thread user([&] {
    std::string frame = FrameReady();
    if (frame.empty()) return;
    Keys(frame, "alt+b Down Down Return");  // the invoices, inside the frame
    std::this_thread::sleep_for(std::chrono::seconds(2));
    std::string form = OpenWith(frame, "Insert", kForm);
    if (!form.empty()) {
      Outside(&first);
      Keys(form, "alt+space x");
      WaitFor([&] { return !Outside(&maximised).empty() || maximised.width() > first.width(); }, 5);
      whenMaximised = Outside(&maximised);
      Keys(form, "alt+space e");
      WaitFor([&] { return Outside(&restored).empty() && restored.width() < maximised.width(); },
              5);
      whenRestored = Outside(&restored);
      CloseWith(form, kForm, "Escape");
    }
    for (int attempt = 0; attempt < 5 && !ended; ++attempt) {
      Keys(frame, "alt+f");
      Keys(frame, "x");
      WaitFor([&] { return ended.load(); }, 3);
    }
  });
  int argc = 1;
  char name[] = "form_resize_window_test";
  char* argv[] = {name, nullptr};
  runtime::RunWithQt(argc, argv, [] { app::MainProcedure(); });
  ended = true;
  user.join();
  ASSERT_TRUE(first.isValid()) << "no invoice form";
  EXPECT_GT(maximised.width(), first.width()) << "the form did not maximise";
  EXPECT_TRUE(whenMaximised.empty()) << whenMaximised.front();
  EXPECT_LT(restored.width(), maximised.width()) << "Restore left it full-screen";
  EXPECT_TRUE(whenRestored.empty()) << whenRestored.front();
  EXPECT_EQ(runtime::ReadIniValue(data_.File("ledora.INI"), "UpdateInvoices", "Maximize"), "No")
      << "a restored form is stored as maximised";
}

}  // namespace
}  // namespace ledora::testing
