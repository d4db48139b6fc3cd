// Shows the window model with Qt Widgets and runs the procedure threads
// inside Qt's event loop: whenever a thread becomes runnable a queued call
// resumes it, so the loop is never nested. The program creates one after its
// QApplication; real-window tests do the same.
#pragma once

#include <QObject>
#include <QPointer>
#include <memory>

#include "runtime/qtwindow/qt_message_service.h"
#include "runtime/qtwindow/qt_page_widget.h"
#include "runtime/window/presenter.h"
#include "runtime/window/scheduler.h"

class QKeyEvent;
class QMdiArea;
class QMdiSubWindow;
class QPrinter;
class QTextBrowser;
class QWidget;

namespace ledora::runtime {

class QtWindowView;

class QtPresenter : public QObject, public Presenter {
  Q_OBJECT

 public:
  // Installs itself as the presenter and its message service as the
  // process's; the destructor restores the fallbacks.
  explicit QtPresenter(Scheduler& scheduler);
  ~QtPresenter() override;

  // Starts main as the first thread and runs the event loop until it ends;
  // the windows of threads still open then get a close-down event.
  void Run(Procedure main, size_t stackSize = 0);
  // Resumes every runnable thread now (tests pump with this).
  void Drain();

  QtWindowView* ViewOf(const Window& window) const;
  // The open window a widget belongs to, or null; the top-level widgets Qt
  // shows over a window (menus, message boxes, dialogs) belong to none.
  Window* WindowOfWidget(QWidget* widget) const;
  QMdiArea* FrameArea() const;
  QPrinter& printer();
  QtPageCache& pageCache() { return pageCache_; }

  // From the views.
  void OnMenuChosen(Window& window, int32_t control);
  void OnSubWindowActivated(QMdiSubWindow* sub);
  // Tile or Cascade; the children stay inside the frame's area.
  void ArrangeChildren(QMdiArea& area, bool tile);
  // Activation reports of Qt lag behind windows the model opened and made
  // active; after each one the model learns the window that is active now.
  void SyncActiveWindow();
  void DropAt(Window& source, int32_t sourceControl, QPoint global);

  void WindowOpened(Window& window) override;
  void WindowClosed(Window& window) override;
  void WindowChanged(Window& window) override;
  void ControlCreated(Window& window, int32_t control) override;
  void ControlDestroyed(Window& window, int32_t control) override;
  void ControlChanged(Window& window, int32_t control) override;
  void FocusChanged(Window& window, int32_t control) override;
  void RaiseWindow(Window& window) override;
  bool AskFileName(FileDialogRequest* request) override;
  bool AskColour(int32_t* colour, std::string_view title) override;
  bool AskFont(Font* font, std::string_view title) override;
  bool AskPrinterSetup() override;
  std::vector<std::string> FontFamilies() override;
  std::string PrinterName() override;
  int32_t Popup(Window* owner, std::string_view menu) override;
  ScreenArea ScreenSize() override;
  void Beep() override;
  void ShowTip(Window& window, int32_t control, const std::string& text) override;
  void ShowHelp(const std::string& file, const std::string& topic, HelpView view) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* ParentFor(const Window& window) const;
  // qt_presenter_focus.cpp
  void QueueTakeFocus(Window& window);
  void TakeFocus(Window& window);
  bool OnKey(QWidget* widget, QKeyEvent* key);

  Scheduler& scheduler_;
  QtMessageService messages_;
  QtPageCache pageCache_;
  std::string chosenPrinter_;  // from the printer set-up, for the rest of the run
  bool drainQueued_ = false;
  bool syncQueued_ = false;
  int32_t mainThread_ = 0;
  bool running_ = false;
  std::unique_ptr<QPrinter> printer_;
  QPointer<QWidget> help_;  // the help window (QtHelpWindow), beside the program's
};

}  // namespace ledora::runtime
