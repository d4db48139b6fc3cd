// The "Report Preview" window: its menus, its toolbar row, its keys and its
// place on the screen.
#include <algorithm>

#include "framework/window_placement.h"
#include "reporting/print_preview.h"
#include "runtime/values/fixed_string.h"

namespace ledora::reporting {

namespace {

constexpr int32_t kRowHeight = 24;
constexpr int32_t kToolbarHeight = 32;
constexpr int32_t kDefaultWidth = 820;
constexpr int32_t kDefaultHeight = 640;

struct Tool {
  int32_t control;
  runtime::ControlType type;
  const char* text;
  const char* tip;
  int32_t width;
};

// The toolbar row, left to right.
constexpr Tool kTools[] = {
    {PreviewTbarPrint, runtime::ControlButton, "Print", "Print this report", 56},
    {PreviewTbarExit, runtime::ControlButton, "Exit", "Exit without printing the report", 56},
    {PreviewTbarZoom, runtime::ControlButton, "Zoom", "Zoom in on a page of the report", 56},
    {PreviewPagePrompt, runtime::ControlPrompt, "&Page:", "", 44},
    {PreviewCurrentPage, runtime::ControlSpin, "1", "", 72},
    {PreviewAcrossPrompt, runtime::ControlPrompt, "&Across:", "", 52},
    {PreviewPagesAcross, runtime::ControlSpin, "1", "Select the number of thumbnails in a row", 48},
    {PreviewDownPrompt, runtime::ControlPrompt, "&Down:", "", 44},
    {PreviewPagesDown, runtime::ControlSpin, "1", "Select the number of thumbnails in a column",
     48},
    {PreviewZoomPrompt, runtime::ControlPrompt, "Z&oom:", "", 44},
    {PreviewZoomList, runtime::ControlDropCombo, "", "Set zoom to standard or user defined value",
     120},
    {PreviewFindStatus, runtime::ControlString, "", "", 120},
};

}  // namespace

void PrintPreview::BuildWindow() {
  if (built_) return;
  built_ = true;
  window_.SetTitle(kTitle);
  window_.SetHelpTopic("preview");
  window_.SetUnit(runtime::UnitPixels);
  window_.SetResizable(true);
  window_.SetSize(kDefaultWidth, kDefaultHeight);
  window_.SetMinimumSize(480, 240);
  BuildMenus();
  BuildToolbar();
  RegisterKeys();
  if (!IMAGEQUEUE->empty()) {
    ReadPageSize(IMAGEQUEUE->front().FILENAME, &pageWidthMils_, &pageHeightMils_);
  }
}

void PrintPreview::BuildMenus() {
  runtime::Window& w = window_;
  w.AddMenu(PreviewMenuFile, 0, "&File");
  w.AddMenuItem(PreviewMenuPrint, PreviewMenuFile, "&Print", "Print the report");
  w.AddMenuItem(PreviewMenuExit, PreviewMenuFile, "E&xit", "Exit without printing the report");
  w.AddMenuSeparator(PreviewMenuFile);
  w.AddMenuItem(PreviewSavePdf, PreviewMenuFile, "Save as PDF...", "Save the report as a PDF file");
  w.AddMenuItem(PreviewSendMail, PreviewMenuFile, "Send by e-mail...",
                "Send the report as a PDF file by e-mail");
  w.AddMenu(PreviewViewMenu, 0, "&View");
  w.AddMenuItem(PreviewNext, PreviewViewMenu, "&Next Page(s)");
  w.AddMenuItem(PreviewPrevious, PreviewViewMenu, "&Previous Page(s)");
  w.AddMenuItem(PreviewJump, PreviewViewMenu, "&Jump to a page",
                "Jump to a specific page of the report");
  w.AddMenuItem(PreviewChangeDisplay, PreviewViewMenu, "&Change Display",
                "Change the number of pages displayed");
  w.AddMenuSeparator(PreviewViewMenu);
  w.AddMenuItem(PreviewFirstPage, PreviewViewMenu, "First Page\tHome", "Show the first page");
  w.AddMenuItem(PreviewLastPage, PreviewViewMenu, "Last Page\tEnd", "Show the last page");
  w.AddMenuItem(PreviewFind, PreviewViewMenu, "&Find...\tCtrl+F", "Find text in the report");
  w.AddMenuItem(PreviewFindNext, PreviewViewMenu, "Find Next\tF3", "Show the next match");
  w.AddMenuItem(PreviewFindPrevious, PreviewViewMenu, "Find Previous\tShift+F3",
                "Show the previous match");
  w.AddMenu(PreviewZoomMenu, 0, "&Zoom");
  for (size_t i = 0; i < ZOOMQUEUE->size(); ++i) {
    const ZoomEntry& entry = (*ZOOMQUEUE)[i];
    w.AddMenuItem(PreviewZoomItemBase + static_cast<int32_t>(i + 1), PreviewZoomMenu,
                  runtime::ClippedField(entry.MENUTEXT), runtime::ClippedField(entry.STATUSTEXT));
  }
  w.AddMenuSeparator(PreviewZoomMenu);
  w.AddMenuItem(PreviewZoomIn, PreviewZoomMenu, "Zoom In\tCtrl++", "Show the page larger");
  w.AddMenuItem(PreviewZoomOut, PreviewZoomMenu, "Zoom Out\tCtrl+-", "Show the page smaller");
}

void PrintPreview::BuildToolbar() {
  for (const Tool& tool : kTools) {
    window_.CreateControl(tool.control, tool.type);
    window_.SetText(tool.control, tool.text);
    if (*tool.tip != '\0') window_.SetTip(tool.control, tool.tip);
  }
}

void PrintPreview::RegisterKeys() {
  using namespace runtime;
  for (int32_t key : std::initializer_list<int32_t>{
           KeyPageUp, KeyPageDown, KeyHome, KeyEnd, KeyCtrl + 'P', KeyCtrl + 'F', KeyF3,
           KeyShift + KeyF3, KeyCtrl + KeyPlus, KeyCtrl + KeyShift + KeyPlus, KeyCtrl + KeyPadPlus,
           KeyCtrl + KeyMinus, KeyCtrl + KeyPadMinus}) {
    window_.AddAlert(key);
  }
}

void PrintPreview::LayOutToolbar() {
  int32_t x = 4;
  for (const Tool& tool : kTools) {
    int32_t y = (kToolbarHeight - kRowHeight) / 2;
    // Plain strings sit at the top of their box; this lines one up with the prompts.
    if (tool.type == runtime::ControlString) y += 5;
    window_.SetRect(tool.control, {x, y, tool.width, kRowHeight});
    x += tool.width + (tool.type == runtime::ControlPrompt ? 0 : 8);
  }
}

runtime::Rect PrintPreview::PageArea() const {
  runtime::Rect g = window_.geometry();
  return {0, kToolbarHeight, std::max(g.width, 100), std::max(g.height - kToolbarHeight, 100)};
}

void PrintPreview::ApplyGeometry() {
  if (!(WINDOWPOSSET && WINDOWSIZESET)) {
    if (SAVESIZE.SET) {
      window_.SetPosition(SAVESIZE.XPOS, SAVESIZE.YPOS);
      window_.SetSize(SAVESIZE.WIDTH, SAVESIZE.HEIGHT);
    } else if (INIMGR != nullptr) {
      framework::WindowPlacement placement(window_);
      INIMGR->RestoreWindowPlacement(kIniSection, placement);
    }
  }
  if (WINDOWPOSSET) window_.SetPosition(WINXPOS, WINYPOS);
  if (WINDOWSIZESET) window_.SetSize(WINWIDTH, WINHEIGHT);
}

void PrintPreview::StoreGeometry() {
  if (INIMGR == nullptr) return;
  framework::WindowPlacement placement(window_);
  INIMGR->StoreWindowPlacement(kIniSection, placement);
}

}  // namespace ledora::reporting
