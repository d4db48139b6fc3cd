// The print preview: shows the page images of a finished report in the
// "Report Preview" window (tiled thumbnails, page width or a zoom), lets the
// user move between pages, find text, save or mail the pages as PDF, and
// answers whether the report is to be printed. The report runner sets it up
// with its page queue and calls Show or ShowZoomed when the report is done;
// it prints the pages itself when the answer is 1.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/ini_store.h"
#include "framework/popup_menu.h"
#include "framework/procedure_frame.h"
#include "reporting/page_finder.h"
#include "reporting/zoom_table.h"
#include "runtime/report/preview_queue.h"
#include "runtime/window/window.h"

namespace ledora::reporting {

// Controls of the preview window; the first seventeen are the ones every
// caller knows the preview by, ours follow.
enum PreviewControl : int32_t {
  PreviewMenuFile = 1,
  PreviewMenuPrint = 2,
  PreviewMenuExit = 3,
  PreviewViewMenu = 4,
  PreviewNext = 5,
  PreviewPrevious = 6,
  PreviewJump = 7,
  PreviewChangeDisplay = 8,
  PreviewZoomMenu = 9,
  PreviewTbarPrint = 10,
  PreviewTbarExit = 11,
  PreviewTbarZoom = 12,
  PreviewPagePrompt = 13,
  PreviewCurrentPage = 14,
  PreviewAcrossPrompt = 15,
  PreviewPagesAcross = 16,
  PreviewDownPrompt = 17,
  PreviewPagesDown = 18,
  PreviewZoomPrompt = 19,
  PreviewZoomList = 20,
  PreviewSavePdf = 30,
  PreviewSendMail = 31,
  PreviewFind = 32,
  PreviewFindNext = 33,
  PreviewFindPrevious = 34,
  PreviewFirstPage = 35,
  PreviewLastPage = 36,
  PreviewZoomIn = 37,
  PreviewZoomOut = 38,
  PreviewFindStatus = 39,
  PreviewZoomItemBase = 200,  // + entry number: the Zoom menu's items
  PreviewPageBase = 1000,     // + place on screen: the page images
};

class PrintPreview : public framework::ProcedureFrame {
 public:
  // One page image on screen.
  struct PageEntry {
    int32_t XPOS = 0;  // window units
    int32_t YPOS = 0;
    int32_t WIDTH = 0;
    int32_t HEIGHT = 0;
    std::string FILENAME;
    int64_t OFFSET = 0;     // of the page in FILENAME
    uint8_t CENTREONX = 0;  // percent of the page kept in view
    uint8_t CENTREONY = 0;
    PageEntry* NEIGHBOUR = nullptr;  // the next page in the grid
    int32_t PAGENO = 0;
    int16_t ZOOMSTATE = 0;  // the percentile it is drawn at
  };
  struct SaveSize {
    uint8_t SET = 0;
    int16_t XPOS = 0;
    int16_t YPOS = 0;
    uint16_t WIDTH = 0;
    uint16_t HEIGHT = 0;
  };

  uint8_t ALLOWUSERZOOM = 0;
  int32_t CURRENTPAGE = 1;
  int32_t FIRSTPAGE = 1;
  runtime::PreviewQueue* IMAGEQUEUE = nullptr;  // not owned
  framework::IniStore* INIMGR = nullptr;        // not owned
  int16_t INITZOOM = 0;
  uint8_t MAXIMIZE = 0;
  std::array<uint8_t, 32> MUSE{};
  std::unique_ptr<std::vector<PageEntry>> PAGEMANAGER;
  uint16_t PAGESACROSS = 1;
  uint16_t PAGESDOWN = 1;
  std::unique_ptr<framework::PopupMenu> POPUP;
  runtime::Window* PREVIEWWINDOW = nullptr;  // the preview's own window
  uint8_t PRINTOK = 0;
  SaveSize SAVESIZE;
  uint16_t THUMBNAILSPRESENT = 0;
  uint16_t USERPERCENTILE = 100;
  uint8_t WINDOWPOSSET = 0;
  uint8_t WINDOWSIZESET = 0;
  int16_t WINHEIGHT = 0;
  int16_t WINWIDTH = 0;
  int16_t WINXPOS = 0;
  int16_t WINYPOS = 0;
  std::unique_ptr<std::vector<ZoomEntry>> ZOOMQUEUE;
  uint8_t ZOOMINDEX = 0;
  std::string ZOOMLIST;  // at most 16 characters
  uint16_t PRTPREV_TBARZOOM = 0;
  uint16_t PRTPREV_TBARPRINT = 0;
  uint16_t PRTPREV_TBAREXIT = 0;
  uint16_t PRTPREV_MENUPRINT = 0;
  uint16_t PRTPREV_MENUEXIT = 0;
  uint16_t PRTPREV_ZOOMLIST = 0;
  uint16_t PRTPREV_ZOOMPROMPT = 0;
  uint16_t PRTPREV_PAGEPROMPT = 0;
  uint16_t PRTPREV_CURRENTPAGE = 0;
  uint16_t PRTPREV_PAGESACROSS = 0;
  uint16_t PRTPREV_PAGESDOWN = 0;
  uint16_t PRTPREV_NEXT = 0;
  uint16_t PRTPREV_PREVIOUS = 0;
  uint16_t PRTPREV_JUMP = 0;
  uint16_t PRTPREV_CHANGEDISPLAY = 0;
  uint16_t PRTPREV_VIEWMENU = 0;
  uint16_t PRTPREV_ZOOMMENU = 0;

  static constexpr char kIniSection[] = "_PreviewWindow_";
  static constexpr char kTitle[] = "Report Preview";

  PrintPreview();
  ~PrintPreview() override;

  // The frame's slots the preview overrides.
  data::Severity Shutdown() override;
  void PrepareWindow() override;
  data::Severity OnAccepted() override;
  data::Severity HandleEvent() override;
  data::Severity OnFieldEvent() override;
  data::Severity OnWindowEvent() override;

  // Its own. The asks answer 1 when the user changed something, else 0.
  // Asks for the page to show first.
  virtual uint8_t AskPageNumber();
  // Asks how many pages to show across and down.
  virtual uint8_t AskPageGrid();
  // Runs the preview tiling pages, from page 1, one across and one down;
  // returns PRINTOK.
  virtual uint8_t Show();
  // zoom: a percentile, -1 page width, -2 tile pages. Returns PRINTOK.
  virtual uint8_t ShowZoomed(int16_t zoom, int32_t firstPage, uint16_t across, uint16_t down);
  virtual void Setup(runtime::PreviewQueue* imageQueue);

  // The report's name, for the PDF's title and the mail's attachment.
  void SetReportTitle(std::string title) { reportTitle_ = std::move(title); }
  const std::string& reportTitle() const { return reportTitle_; }
  int32_t PageCount() const;
  // The zoom now applied: a percentile, -1 page width, -2 tile pages.
  int16_t CurrentZoom() const;
  // The hits of the last Find, and which one is shown (0-based; -1 none).
  const std::vector<PageHit>& hits() const { return hits_; }
  int32_t currentHit() const { return currentHit_; }

 private:
  // Window building and layout (preview_window.cpp).
  void BuildWindow();
  void BuildMenus();
  void BuildToolbar();
  void RegisterKeys();
  void ApplyGeometry();
  void StoreGeometry();
  void LayOutToolbar();
  runtime::Rect PageArea() const;

  // Zoom and drawing (preview_pages.cpp).
  void ApplyZoom();
  void MarkZoom();
  void DrawPages();
  void DrawTiles(const runtime::Rect& area);
  void DrawZoomed(const runtime::Rect& area);
  void ShowPage(size_t place, const PageEntry& entry, int32_t drawnWidth);
  void RemovePagesFrom(size_t place);
  void ShowPageNumber();
  bool PageOnScreen(int32_t page) const;
  int32_t PageWidthOf(int32_t drawnWidth) const;

  // Navigation and grid (print_preview.cpp).
  void OnPageTyped();
  void OnGridTyped(int32_t control);
  void OnZoomTyped();
  void SelectZoom(uint8_t index);
  void GoToPage(int32_t page);
  void StepZoom(int32_t direction);
  void OnPageClicked(const runtime::Event& e);
  data::Severity OnKey(int32_t keyCode);
  data::Severity OnPrint();

  // Find, PDF and mail (preview_find.cpp, preview_output.cpp).
  void AskFind();
  void ShowHit(int32_t index);
  void MarkHits();
  void SavePdf();
  void SendMail();
  bool WritePdf(const std::string& fileName);

  runtime::Window window_;
  std::string reportTitle_;
  std::string findText_;
  std::vector<PageHit> hits_;
  int32_t currentHit_ = -1;
  int32_t centreX_ = 0;  // where a click asked the zoomed page to be centred
  int32_t centreY_ = 0;
  int32_t pageWidthMils_ = 8500;  // the first page's size, for the page boxes
  int32_t pageHeightMils_ = 11000;
  bool built_ = false;
  runtime::PreviewQueue emptyQueue_;
};

}  // namespace ledora::reporting
