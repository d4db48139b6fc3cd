// The preview's modal dialogs: jump to a page, change the grid, find text.
// Each runs on the preview's thread and answers when it closes.
#include <algorithm>
#include <cstdlib>

#include "reporting/print_preview.h"
#include "runtime/window/common_dialogs.h"

namespace ledora::reporting {

namespace {

enum DialogControl : int32_t {
  DialogPrompt = 1,
  DialogFirst = 2,
  DialogSecondPrompt = 3,
  DialogSecond = 4,
  DialogGroup = 5,
  DialogOk = 10,
  DialogCancel = 11,
  DialogHelp = 12,
};

void AddControl(runtime::Window& w, int32_t number, runtime::ControlType type,
                std::string_view text, const runtime::Rect& rect, std::string_view tip = {}) {
  w.CreateControl(number, type);
  w.SetText(number, text);
  w.SetRect(number, rect);
  if (!tip.empty()) w.SetTip(number, tip);
}

void AddButtons(runtime::Window& w, int32_t y, std::string_view okTip, std::string_view cancelTip) {
  AddControl(w, DialogOk, runtime::ControlButton, "OK", {100, y, 70, 26}, okTip);
  AddControl(w, DialogCancel, runtime::ControlButton, "Cancel", {176, y, 70, 26}, cancelTip);
  AddControl(w, DialogHelp, runtime::ControlButton, "&Help", {10, y, 60, 26},
             "Show the guide on this window");
  w.Find(DialogHelp)->action = runtime::ActionHelpContents;
  w.SetDefaultButton(DialogOk);
  w.SetSize(256, y + 36);
}

// Runs the dialog until OK passes check or the user cancels; true on OK.
template <typename Check>
bool RunDialog(runtime::Window& w, Check check) {
  w.SetModal(true);
  w.SetUnit(runtime::UnitPixels);
  w.Open();
  w.Select(DialogFirst);
  bool ok = false;
  runtime::Event e;
  while (w.Accept(&e)) {
    if (e.number != runtime::EventAccepted) continue;
    if (e.accepted == DialogCancel) {
      w.Close();
    } else if (e.accepted == DialogOk) {
      if (check()) {
        ok = true;
        w.Close();
      } else {
        runtime::Beep();
        w.Select(DialogFirst);
      }
    }
  }
  return ok;
}

int32_t NumberIn(const runtime::Window& w, int32_t control) {
  return std::atoi(w.GetText(control).c_str());
}

}  // namespace

uint8_t PrintPreview::AskPageNumber() {
  const int32_t pages = PageCount();
  runtime::Window w;
  w.SetTitle("Jump to a Report Page");
  w.SetHelpTopic("preview-jump");
  AddControl(w, DialogPrompt, runtime::ControlPrompt, "&Page:", {10, 14, 60, 24});
  AddControl(w, DialogFirst, runtime::ControlSpin, std::to_string(CURRENTPAGE), {76, 14, 90, 24},
             "Select a page of the report");
  w.SetSpinRange(DialogFirst, 1, pages);
  AddButtons(w, 52, "Jump to the selected page", "Cancel this selection");
  int32_t page = CURRENTPAGE;
  bool ok = RunDialog(w, [&] {
    page = NumberIn(w, DialogFirst);
    return page >= 1 && page <= pages;
  });
  if (!ok || page == CURRENTPAGE) return 0;
  CURRENTPAGE = page;
  return 1;
}

uint8_t PrintPreview::AskPageGrid() {
  const int32_t pages = PageCount();
  runtime::Window w;
  w.SetTitle("Change the Report Display");
  w.SetHelpTopic("preview-display");
  AddControl(w, DialogGroup, runtime::ControlGroup, "Pages Displayed", {6, 4, 244, 74});
  AddControl(w, DialogPrompt, runtime::ControlPrompt, "Across", {16, 26, 60, 24});
  AddControl(w, DialogFirst, runtime::ControlSpin, std::to_string(PAGESACROSS), {80, 26, 70, 24});
  AddControl(w, DialogSecondPrompt, runtime::ControlPrompt, "Down", {16, 50, 60, 24});
  AddControl(w, DialogSecond, runtime::ControlSpin, std::to_string(PAGESDOWN), {80, 50, 70, 24});
  w.SetSpinRange(DialogFirst, 1, pages);
  w.SetSpinRange(DialogSecond, 1, pages);
  AddButtons(w, 88, {}, {});
  int32_t across = PAGESACROSS;
  int32_t down = PAGESDOWN;
  // A grid with more places than the report has pages is refused.
  bool ok = RunDialog(w, [&] {
    across = NumberIn(w, DialogFirst);
    down = NumberIn(w, DialogSecond);
    return across >= 1 && down >= 1 && int64_t{across} * down <= pages;
  });
  if (!ok || (across == PAGESACROSS && down == PAGESDOWN)) return 0;
  PAGESACROSS = static_cast<uint16_t>(across);
  PAGESDOWN = static_cast<uint16_t>(down);
  return 1;
}

void PrintPreview::AskFind() {
  runtime::Window w;
  w.SetTitle("Find");
  w.SetHelpTopic("preview-find");
  AddControl(w, DialogPrompt, runtime::ControlPrompt, "Find &what:", {10, 14, 76, 24});
  AddControl(w, DialogFirst, runtime::ControlEntry, findText_, {90, 14, 156, 24},
             "The text to find on the pages of the report");
  AddButtons(w, 52, "Find the text", {});
  std::string text = findText_;
  bool ok = RunDialog(w, [&] {
    text = w.GetText(DialogFirst);
    return text.find_first_not_of(' ') != std::string::npos;
  });
  if (!ok) return;
  findText_ = text;
  hits_ = FindInPages(*IMAGEQUEUE, findText_);
  currentHit_ = -1;
  if (hits_.empty()) {
    window_.SetText(PreviewFindStatus, "Not found");
    MarkHits();
    runtime::MessageRequest request;
    request.caption = "Find";
    request.icon = runtime::IconAsterisk;
    request.text = "\"" + findText_ + "\" was not found in the report.";
    runtime::Messages().Show(request);
    return;
  }
  ShowHit(0);
}

}  // namespace ledora::reporting
