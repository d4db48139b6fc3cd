#include "reporting/print_preview.h"

#include <algorithm>
#include <cstdlib>

#include "runtime/system/message_service.h"
#include "runtime/values/fixed_string.h"
#include "runtime/window/common_dialogs.h"

namespace ledora::reporting {

using data::SeverityInform;
using data::SeverityNone;

namespace {

constexpr int32_t kTilePages = -2;
constexpr int32_t kPageWidth = -1;
constexpr uint8_t kTileEntry = 1;
constexpr uint8_t kPageWidthEntry = 2;
// A typed zoom beyond this would ask the screen for a page image of
// hundreds of megabytes.
constexpr int32_t kMaxUserZoom = 500;
constexpr int32_t kMinUserZoom = 10;

std::string MenuText(const ZoomEntry& entry) {
  return std::string(runtime::ClippedField(entry.MENUTEXT));
}

}  // namespace

PrintPreview::PrintPreview() : ProcedureFrame(nullptr) {
  SetWindow(&window_);
  PREVIEWWINDOW = &window_;
  IMAGEQUEUE = &emptyQueue_;
}

PrintPreview::~PrintPreview() {
  if (window_.IsOpen()) window_.Close();
}

void PrintPreview::Setup(runtime::PreviewQueue* imageQueue) {
  ProcedureFrame::Initialize();
  IMAGEQUEUE = imageQueue != nullptr ? imageQueue : &emptyQueue_;
  ZOOMQUEUE = std::make_unique<std::vector<ZoomEntry>>(LoadZoomTable());
  POPUP = std::make_unique<framework::PopupMenu>();
  POPUP->Setup(&window_, TRANSLATOR, INIMGR);
  for (size_t i = 0; i < ZOOMQUEUE->size(); ++i) {
    // The item's name comes from the text it is added with.
    std::string name = "ZoomItem" + std::to_string(i + 1);
    POPUP->AddItemEvent(name, runtime::EventAccepted,
                        PreviewZoomItemBase + static_cast<int32_t>(i + 1));
    POPUP->SetText(name, MenuText((*ZOOMQUEUE)[i]));
  }
}

uint8_t PrintPreview::Show() { return ShowZoomed(kTilePages, 1, 1, 1); }

uint8_t PrintPreview::ShowZoomed(int16_t zoom, int32_t firstPage, uint16_t across, uint16_t down) {
  PRINTOK = 0;
  if (IMAGEQUEUE == nullptr || IMAGEQUEUE->empty()) return 0;
  if (!ZOOMQUEUE) Setup(IMAGEQUEUE);
  INITZOOM = zoom;
  FIRSTPAGE = CURRENTPAGE = std::clamp(firstPage, 1, PageCount());
  PAGESACROSS = std::max<uint16_t>(1, across);
  PAGESDOWN = std::max<uint16_t>(1, down);
  hits_.clear();
  currentHit_ = -1;
  BuildWindow();
  DEAD = 0;
  INITED &= ~framework::InitedWindowPrepared;
  ApplyGeometry();
  window_.SetMaximised(MAXIMIZE != 0);
  OpenWindow();
  window_.SetCursor(runtime::CursorWait);
  PRTPREV_TBARZOOM = PreviewTbarZoom;
  PRTPREV_TBARPRINT = PreviewTbarPrint;
  PRTPREV_TBAREXIT = PreviewTbarExit;
  PRTPREV_MENUPRINT = PreviewMenuPrint;
  PRTPREV_MENUEXIT = PreviewMenuExit;
  PRTPREV_ZOOMLIST = PreviewZoomList;
  PRTPREV_ZOOMPROMPT = PreviewZoomPrompt;
  PRTPREV_PAGEPROMPT = PreviewPagePrompt;
  PRTPREV_CURRENTPAGE = PreviewCurrentPage;
  PRTPREV_PAGESACROSS = PreviewPagesAcross;
  PRTPREV_PAGESDOWN = PreviewPagesDown;
  PRTPREV_NEXT = PreviewNext;
  PRTPREV_PREVIOUS = PreviewPrevious;
  PRTPREV_JUMP = PreviewJump;
  PRTPREV_CHANGEDISPLAY = PreviewChangeDisplay;
  PRTPREV_VIEWMENU = PreviewViewMenu;
  PRTPREV_ZOOMMENU = PreviewZoomMenu;
  EventLoop();
  if (window_.IsOpen()) window_.Close();
  return PRINTOK;
}

data::Severity PrintPreview::Shutdown() {
  if (POPUP) POPUP->Shutdown();
  POPUP.reset();
  ZOOMQUEUE.reset();
  PAGEMANAGER.reset();
  return ProcedureFrame::Shutdown();
}

int32_t PrintPreview::PageCount() const {
  return IMAGEQUEUE == nullptr ? 0 : static_cast<int32_t>(IMAGEQUEUE->size());
}

int16_t PrintPreview::CurrentZoom() const {
  if (ZOOMINDEX == 0 || !ZOOMQUEUE || ZOOMINDEX > ZOOMQUEUE->size()) {
    return static_cast<int16_t>(USERPERCENTILE);
  }
  return (*ZOOMQUEUE)[ZOOMINDEX - 1].PERCENTILE;
}

void PrintPreview::PrepareWindow() {
  ProcedureFrame::PrepareWindow();
  // Pages left from an earlier showing would stay on screen unmanaged.
  for (int32_t c = PreviewPageBase + 1; window_.Find(c) != nullptr; ++c) window_.DestroyControl(c);
  PAGEMANAGER = std::make_unique<std::vector<PageEntry>>();
  const int32_t pages = PageCount();
  const bool several = pages > 1;
  window_.SetEnabled(PreviewViewMenu, several);
  for (int32_t c = PreviewCurrentPage; c <= PreviewPagesDown; ++c) window_.SetEnabled(c, several);
  window_.SetEnabled(PreviewPagePrompt, several);
  if (several) {
    window_.SetSpinRange(PreviewCurrentPage, 1, pages);
    window_.SetTip(PreviewCurrentPage, "Enter a page number from 1 to " + std::to_string(pages));
    window_.SetSpinRange(PreviewPagesAcross, 1, pages);
    window_.SetSpinRange(PreviewPagesDown, 1, pages);
  }
  window_.SetText(PreviewPagesAcross, std::to_string(PAGESACROSS));
  window_.SetText(PreviewPagesDown, std::to_string(PAGESDOWN));
  std::vector<std::vector<std::string>> rows;
  ZOOMLIST.clear();
  for (const ZoomEntry& entry : *ZOOMQUEUE) rows.push_back({MenuText(entry)});
  window_.SetRows(PreviewZoomList, rows);
  window_.SetHidden(PreviewZoomList, !ALLOWUSERZOOM);
  window_.SetHidden(PreviewZoomPrompt, !ALLOWUSERZOOM);
  ZOOMINDEX = 0;
  for (size_t i = 0; i < ZOOMQUEUE->size(); ++i) {
    if ((*ZOOMQUEUE)[i].PERCENTILE == INITZOOM) ZOOMINDEX = static_cast<uint8_t>(i + 1);
  }
  if (ZOOMINDEX == 0) {
    if (ALLOWUSERZOOM && INITZOOM > 0) {
      USERPERCENTILE =
          static_cast<uint16_t>(std::clamp<int32_t>(INITZOOM, kMinUserZoom, kMaxUserZoom));
    } else {
      ZOOMINDEX = kTileEntry;
    }
  }
  LayOutToolbar();
  ApplyZoom();
  window_.SetCursor(runtime::CursorArrow);
}

data::Severity PrintPreview::HandleEvent() {
  const runtime::Event& e = event();
  switch (e.number) {
    case runtime::EventCloseWindow:
    case runtime::EventCloseDown:
      StoreGeometry();
      PAGEMANAGER.reset();
      break;
    case runtime::EventSized:
      if (e.control == 0) {
        runtime::Rect g = window_.geometry();
        SAVESIZE = {1, static_cast<int16_t>(g.x), static_cast<int16_t>(g.y),
                    static_cast<uint16_t>(g.width), static_cast<uint16_t>(g.height)};
        if (PAGEMANAGER) {
          LayOutToolbar();
          DrawPages();
        }
      }
      break;
    case runtime::EventAlertKey:
      return OnKey(e.keyCode);
    case runtime::EventMouseDown:
      if (e.control >= PreviewPageBase) OnPageClicked(e);
      return SeverityNone;
    default:
      break;
  }
  return ProcedureFrame::HandleEvent();
}

data::Severity PrintPreview::OnWindowEvent() { return ProcedureFrame::OnWindowEvent(); }

data::Severity PrintPreview::OnFieldEvent() { return SeverityNone; }

data::Severity PrintPreview::OnKey(int32_t keyCode) {
  using namespace runtime;
  const int32_t pages = PageCount();
  switch (keyCode) {
    case KeyPageUp:
      if (CURRENTPAGE > 1 && window_.Find(PreviewPrevious)->enabled)
        PostToWindow(EventAccepted, PreviewPrevious);
      break;
    case KeyPageDown:
      if (CURRENTPAGE < pages && window_.Find(PreviewNext)->enabled)
        PostToWindow(EventAccepted, PreviewNext);
      break;
    case KeyHome:
      PostToWindow(EventAccepted, PreviewFirstPage);
      break;
    case KeyEnd:
      PostToWindow(EventAccepted, PreviewLastPage);
      break;
    case KeyCtrl + 'P':
      PostToWindow(EventAccepted, PreviewMenuPrint);
      break;
    case KeyCtrl + 'F':
      PostToWindow(EventAccepted, PreviewFind);
      break;
    case KeyF3:
      PostToWindow(EventAccepted, PreviewFindNext);
      break;
    case KeyShift + KeyF3:
      PostToWindow(EventAccepted, PreviewFindPrevious);
      break;
    case KeyCtrl + KeyPlus:
    case KeyCtrl + KeyShift + KeyPlus:
    case KeyCtrl + KeyPadPlus:
      StepZoom(1);
      break;
    case KeyCtrl + KeyMinus:
    case KeyCtrl + KeyPadMinus:
      StepZoom(-1);
      break;
    default:
      break;
  }
  return SeverityInform;
}

data::Severity PrintPreview::OnAccepted() {
  const runtime::Event& e = event();
  const int32_t control = e.accepted != 0 ? e.accepted : e.control;
  const int32_t zoomItems = ZOOMQUEUE ? static_cast<int32_t>(ZOOMQUEUE->size()) : 0;
  if (control > PreviewZoomItemBase && control <= PreviewZoomItemBase + zoomItems) {
    SelectZoom(static_cast<uint8_t>(control - PreviewZoomItemBase));
    return SeverityNone;
  }
  switch (control) {
    case PreviewTbarZoom:
      for (int32_t i = 1; i <= zoomItems; ++i) {
        POPUP->SetCheck("ZoomItem" + std::to_string(i), i == ZOOMINDEX);
      }
      POPUP->RunUpdateProcedure();
      break;
    case PreviewMenuPrint:
    case PreviewTbarPrint:
      return OnPrint();
    case PreviewMenuExit:
    case PreviewTbarExit:
      PostToWindow(runtime::EventCloseWindow);
      break;
    case PreviewZoomList:
      OnZoomTyped();
      break;
    case PreviewCurrentPage:
      OnPageTyped();
      break;
    case PreviewPagesAcross:
    case PreviewPagesDown:
      OnGridTyped(control);
      break;
    case PreviewNext:
    case PreviewPrevious:
      GoToPage(CURRENTPAGE + (control == PreviewNext ? 1 : -1));
      break;
    case PreviewFirstPage:
      GoToPage(1);
      break;
    case PreviewLastPage:
      GoToPage(PageCount());
      break;
    case PreviewJump:
      if (AskPageNumber()) GoToPage(CURRENTPAGE);
      break;
    case PreviewChangeDisplay:
      AskPageGrid();
      CURRENTPAGE = FIRSTPAGE = 1;
      window_.SetText(PreviewPagesAcross, std::to_string(PAGESACROSS));
      window_.SetText(PreviewPagesDown, std::to_string(PAGESDOWN));
      DrawPages();
      break;
    case PreviewZoomIn:
    case PreviewZoomOut:
      StepZoom(control == PreviewZoomIn ? 1 : -1);
      break;
    case PreviewFind:
      AskFind();
      break;
    case PreviewFindNext:
    case PreviewFindPrevious:
      if (!hits_.empty()) {
        auto n = static_cast<int32_t>(hits_.size());
        ShowHit((currentHit_ + (control == PreviewFindNext ? 1 : n - 1)) % n);
      }
      break;
    case PreviewSavePdf:
      SavePdf();
      break;
    case PreviewSendMail:
      SendMail();
      break;
    default:
      return ProcedureFrame::OnAccepted();
  }
  return SeverityNone;
}

data::Severity PrintPreview::OnPrint() {
  // Answering "print" on a machine without a printer would lose the pages
  // to a print that cannot happen; the user keeps the preview instead.
  if (runtime::ChosenPrinter().empty()) {
    runtime::MessageRequest request;
    request.caption = kTitle;
    request.icon = runtime::IconExclamation;
    request.text =
        "No printer is installed on this computer, so the report cannot be printed. "
        "Use \"Save as PDF...\" on the File menu to keep it.";
    runtime::Messages().Show(request);
    return SeverityNone;
  }
  PRINTOK = 1;
  PostToWindow(runtime::EventCloseWindow);
  return SeverityNone;
}

void PrintPreview::SelectZoom(uint8_t index) {
  if (index == ZOOMINDEX) return;
  ZOOMINDEX = index;
  ApplyZoom();
}

void PrintPreview::OnZoomTyped() {
  std::string text(runtime::Clip(window_.GetText(PreviewZoomList)));
  for (size_t i = 0; i < ZOOMQUEUE->size(); ++i) {
    if (text == MenuText((*ZOOMQUEUE)[i])) {
      PostToWindow(runtime::EventAccepted, PreviewZoomItemBase + static_cast<int32_t>(i + 1));
      return;
    }
  }
  int32_t number = std::atoi(text.c_str());
  if (number < kMinUserZoom || number > kMaxUserZoom) {
    // Nothing sensible to zoom to: the list shows the zoom in force again.
    runtime::Beep();
    ApplyZoom();
    return;
  }
  window_.SetText(PreviewZoomList, std::to_string(number));
  ZOOMINDEX = 0;
  USERPERCENTILE = static_cast<uint16_t>(number);
  ApplyZoom();
}

void PrintPreview::StepZoom(int32_t direction) {
  // Ctrl+Plus and Ctrl+Minus walk the fixed percentages; from a fitted view
  // they start at 100%.
  const int32_t now = CurrentZoom();
  uint8_t target = 0;
  int32_t best = 0;
  for (size_t i = 0; i < ZOOMQUEUE->size(); ++i) {
    const int32_t p = (*ZOOMQUEUE)[i].PERCENTILE;
    bool wanted = false;
    if (now <= 0) {
      wanted = p == 100;
    } else if (direction > 0) {
      wanted = p > now && (target == 0 || p < best);
    } else {
      wanted = p > 0 && p < now && (target == 0 || p > best);
    }
    if (wanted) {
      best = p;
      target = static_cast<uint8_t>(i + 1);
    }
  }
  if (target != 0) SelectZoom(target);
}

void PrintPreview::OnPageTyped() {
  const int32_t pages = PageCount();
  int32_t page = std::atoi(window_.GetText(PreviewCurrentPage).c_str());
  if (page < 1 || page > pages) {
    ShowPageNumber();
    return;
  }
  CURRENTPAGE = page;
  const int32_t grid = PAGESACROSS * PAGESDOWN;
  const int32_t offset = CURRENTPAGE - FIRSTPAGE + 1;
  if (offset >= 1 && offset <= grid) {
    if (CurrentZoom() != kTilePages) DrawPages();
    ShowPageNumber();
    return;
  }
  FIRSTPAGE = CURRENTPAGE;
  while (FIRSTPAGE + grid - 1 > pages && FIRSTPAGE > 1) --FIRSTPAGE;
  DrawPages();
}

void PrintPreview::GoToPage(int32_t page) {
  const int32_t pages = PageCount();
  if (page < 1 || page > pages) return;
  CURRENTPAGE = page;
  window_.SetText(PreviewCurrentPage, std::to_string(page));
  OnPageTyped();
}

void PrintPreview::OnGridTyped(int32_t control) {
  const int32_t pages = PageCount();
  uint16_t& changed = control == PreviewPagesAcross ? PAGESACROSS : PAGESDOWN;
  const uint16_t other = control == PreviewPagesAcross ? PAGESDOWN : PAGESACROSS;
  int32_t wanted = std::max(1, std::atoi(window_.GetText(control).c_str()));
  int32_t value = wanted;
  while (value * other > pages && value > 1) --value;
  changed = static_cast<uint16_t>(value);
  window_.SetText(control, std::to_string(value));
  if (value != wanted) {
    runtime::Beep();
    return;
  }
  const int32_t grid = PAGESACROSS * PAGESDOWN;
  while (FIRSTPAGE + grid - 1 > pages && FIRSTPAGE > 1) --FIRSTPAGE;
  DrawPages();
}

void PrintPreview::OnPageClicked(const runtime::Event& e) {
  if (!PAGEMANAGER) return;
  size_t place = static_cast<size_t>(e.control - PreviewPageBase - 1);
  if (place >= PAGEMANAGER->size()) return;
  const PageEntry& entry = (*PAGEMANAGER)[place];
  CURRENTPAGE = entry.PAGENO;
  if (CurrentZoom() == kTilePages) {
    centreX_ = entry.WIDTH > 0 ? std::clamp(e.x * 100 / entry.WIDTH, 0, 100) : 50;
    centreY_ = entry.HEIGHT > 0 ? std::clamp(e.y * 100 / entry.HEIGHT, 0, 100) : 50;
    ZOOMINDEX = kPageWidthEntry;
  } else {
    ZOOMINDEX = kTileEntry;
    const int32_t offset = CURRENTPAGE - FIRSTPAGE + 1;
    if (offset < 1 || offset > PAGESACROSS * PAGESDOWN) {
      FIRSTPAGE = CURRENTPAGE;
      while (FIRSTPAGE + PAGESACROSS * PAGESDOWN - 1 > PageCount() && FIRSTPAGE > 1) --FIRSTPAGE;
    }
  }
  ApplyZoom();
  centreX_ = centreY_ = 0;
}

}  // namespace ledora::reporting
