// The presenter without a screen: windows keep their model only, and every
// question (message box, file name, colour, font, printer set-up, popup) is
// answered from a script or waits for the test driver to answer it. Tests
// and command-line jobs install it; HeadlessDriver acts as the user.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "runtime/system/message_service.h"
#include "runtime/window/presenter.h"

namespace ledora::runtime {

class HeadlessPresenter : public Presenter, public MessageService {
 public:
  // Installs itself as the presenter and the message service; the
  // destructor restores the fallbacks.
  HeadlessPresenter();
  ~HeadlessPresenter() override;

  // Answers given ahead; a question without one waits (on a thread) for
  // AnswerMessage / AnswerQuestion, or outside a thread takes its default
  // and counts as unexpected.
  void ScriptMessage(uint32_t button) { scriptedMessages_.push_back(button); }
  void ScriptPopup(int32_t choice) { scriptedPopups_.push_back(choice); }
  void ScriptFileName(std::optional<std::string> name) { scriptedFiles_.push_back(name); }
  void ScriptColour(std::optional<int32_t> colour) { scriptedColours_.push_back(colour); }
  void ScriptFont(std::optional<Font> font) { scriptedFonts_.push_back(font); }
  // The font families the headless screen has.
  void SetFontFamilies(std::vector<std::string> families) { fontFamilies_ = std::move(families); }
  // ok: the user chose printer (blank: kept the one before) and pressed OK.
  void ScriptPrinterSetup(bool ok, std::string printer = {}) {
    scriptedPrinter_.push_back({ok, std::move(printer)});
  }
  // The printer jobs print to; blank (the default) stands for a machine
  // without any printer.
  void SetPrinterName(std::string name) { printerName_ = std::move(name); }

  // The question a thread waits on, if any.
  const MessageRequest* PendingMessage() const;
  bool HasPendingQuestion() const { return pending_ != PendingNone; }
  void AnswerMessage(uint32_t button);
  void AnswerPopup(int32_t choice);
  void AnswerFileName(std::optional<std::string> name);

  const std::vector<MessageRequest>& messages() const { return messages_; }  // all shown
  const std::vector<std::string>& popups() const { return popups_; }         // menus shown
  int32_t unexpected() const { return unexpected_; }
  int32_t beeps() const { return beeps_; }

  uint32_t Show(const MessageRequest& request) override;
  void WindowOpened(Window& window) override {}
  void WindowClosed(Window& window) override {}
  void WindowChanged(Window& window) override {}
  void ControlCreated(Window& window, int32_t control) override {}
  void ControlDestroyed(Window& window, int32_t control) override {}
  void ControlChanged(Window& window, int32_t control) override {}
  void FocusChanged(Window& window, int32_t control) override {}
  // Without a screen, raising a window gives it the focus at once.
  void RaiseWindow(Window& window) override;
  bool AskFileName(FileDialogRequest* request) override;
  bool AskColour(int32_t* colour, std::string_view title) override;
  bool AskFont(Font* font, std::string_view title) override;
  // The titles of the colour and font dialogs asked for, in order.
  const std::vector<std::string>& dialogTitles() const { return dialogTitles_; }
  bool AskPrinterSetup() override;
  std::vector<std::string> FontFamilies() override { return fontFamilies_; }
  std::string PrinterName() override { return printerName_; }
  int32_t Popup(Window* owner, std::string_view menu) override;
  void Beep() override { ++beeps_; }
  ScreenArea ScreenSize() override { return screen_; }
  void SetScreenSize(ScreenArea screen) { screen_ = screen; }  // none until set
  // Asked for: the topic, or "?" for the search.
  void ShowHelp(const std::string& file, const std::string& topic, HelpView view) override {
    helpTopics_.push_back(view == HelpShowSearch ? "?" : topic);
  }
  const std::vector<std::string>& helpTopics() const { return helpTopics_; }
  void ShowTip(Window& window, int32_t control, const std::string& text) override {
    tipControl_ = control;
    tip_ = text;
  }
  // The tip shown last at once, and at which control.
  const std::string& shownTip() const { return tip_; }
  int32_t shownTipControl() const { return tipControl_; }

 private:
  enum PendingKind { PendingNone, PendingMessageBox, PendingPopup, PendingFile };
  bool WaitForAnswer(PendingKind kind);

  std::string tip_;
  int32_t tipControl_ = 0;
  std::deque<uint32_t> scriptedMessages_;
  std::deque<int32_t> scriptedPopups_;
  std::deque<std::optional<std::string>> scriptedFiles_;
  std::deque<std::optional<int32_t>> scriptedColours_;
  std::deque<std::optional<Font>> scriptedFonts_;
  std::vector<std::string> fontFamilies_ = {"Arial", "Courier New", "Times New Roman"};
  std::deque<std::pair<bool, std::string>> scriptedPrinter_;
  std::string printerName_;

  PendingKind pending_ = PendingNone;
  MessageRequest pendingMessage_;
  int32_t pendingThread_ = 0;
  bool answered_ = false;
  uint32_t answerButton_ = 0;
  int32_t answerChoice_ = 0;
  std::optional<std::string> answerFile_;

  std::vector<MessageRequest> messages_;
  std::vector<std::string> popups_;
  int32_t unexpected_ = 0;
  int32_t beeps_ = 0;
  std::vector<std::string> helpTopics_;
  ScreenArea screen_;
  std::vector<std::string> dialogTitles_;
};

}  // namespace ledora::runtime
