#include "reporting/print_preview.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "runtime/window/common_dialogs.h"
#include "runtime/window/headless_driver.h"
#include "runtime/window/headless_presenter.h"
#include "runtime/window/scheduler.h"
#include "tests/reporting/report_pages.h"
#include "tests/support/command_output.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_folder.h"

namespace ledora::reporting {
namespace {

using runtime::Window;
using testing::MakeReportPages;

// A report's pages in the preview, driven headless as a user would.
class PrintPreviewTest : public ::testing::Test {
 protected:
  ~PrintPreviewTest() override {
    if (Window* w = Preview()) driver.Close(*w);
    driver.Settle();
  }

  void Open(int pages, int16_t zoom = -2, uint16_t across = 1, uint16_t down = 1) {
    if (queue.empty() || static_cast<int>(queue.size()) != pages) {
      queue = MakeReportPages(folder.path(), pages);
      ASSERT_EQ(static_cast<int>(queue.size()), pages);
    }
    ended = false;
    driver.Start([this, zoom, across, down] {
      if (!setUp) {
        preview.INIMGR = &ini;
        preview.ALLOWUSERZOOM = 1;
        preview.Setup(&queue);
        setUp = true;
      }
      answer = preview.ShowZoomed(zoom, 1, across, down);
      ended = true;
    });
    ASSERT_NE(Preview(), nullptr);
  }
  Window* Preview() const { return driver.Titled(PrintPreview::kTitle); }
  std::string Shown(int32_t control) const { return Preview()->GetText(control); }
  bool Enabled(int32_t control) const { return Preview()->Find(control)->enabled; }
  // The page numbers of the image controls on screen, in place order.
  std::vector<int32_t> PagesOnScreen() const {
    std::vector<int32_t> pages;
    for (const PrintPreview::PageEntry& e : *preview.PAGEMANAGER) pages.push_back(e.PAGENO);
    return pages;
  }
  int Images() const {
    int images = 0;
    for (const auto& c : Preview()->controls()) images += c->type == runtime::ControlImage;
    return images;
  }
  void Key(int32_t keyCode) { driver.PressKey(0, keyCode); }
  // The modal dialog a menu entry opened.
  Window* Dialog(const char* title) const { return driver.Titled(title); }

  runtime::Scheduler scheduler;
  runtime::HeadlessPresenter presenter;
  runtime::HeadlessDriver driver{scheduler, presenter};
  testing::ScriptedMessages messages;
  testing::TempFolder folder;
  framework::IniStore ini;
  runtime::PreviewQueue queue;
  PrintPreview preview;
  bool setUp = false;
  bool ended = false;
  uint8_t answer = 9;

  void SetUp() override { ini.Setup(folder.File("ledora.INI")); }
};

TEST_F(PrintPreviewTest, AnEmptyReportAnswersNoWithoutAWindow) {
  runtime::PreviewQueue none;
  driver.Start([&] {
    preview.Setup(&none);
    answer = preview.Show();
    ended = true;
  });
  EXPECT_TRUE(ended);
  EXPECT_EQ(answer, 0);
  EXPECT_EQ(Preview(), nullptr);
}

TEST_F(PrintPreviewTest, AOnePageReportDisablesPageAcrossAndDown) {
  Open(1);
  for (int32_t c : {PreviewCurrentPage, PreviewPagesAcross, PreviewPagesDown}) {
    EXPECT_FALSE(Enabled(c)) << c;
  }
  EXPECT_FALSE(Enabled(PreviewViewMenu));
  EXPECT_EQ(Shown(PreviewZoomList), "Tile pages");
  EXPECT_EQ(PagesOnScreen(), std::vector<int32_t>{1});
}

TEST_F(PrintPreviewTest, SeveralPagesSetThePageSpinsRangeAndPrompt) {
  Open(12);
  const runtime::Control* page = Preview()->Find(PreviewCurrentPage);
  EXPECT_TRUE(page->enabled);
  EXPECT_EQ(page->rangeHigh, 12);
  EXPECT_EQ(page->tip, "Enter a page number from 1 to 12");
  EXPECT_EQ(Preview()->Find(PreviewZoomList)->rows.size(), 7u);
  EXPECT_EQ(Preview()->Find(PreviewZoomItemBase + 3)->text, "50% Zoom");
  EXPECT_EQ(Preview()->Find(PreviewZoomItemBase + 3)->message, "Zoom: 50%");
}

TEST_F(PrintPreviewTest, TypingAPercentageZoomsToIt) {
  Open(3);
  driver.Type(*Preview(), PreviewZoomList, "150");
  EXPECT_EQ(Shown(PreviewZoomList), "150% Zoom");
  EXPECT_EQ(preview.ZOOMINDEX, 0);
  EXPECT_EQ(preview.CurrentZoom(), 150);
  // A zoomed page is drawn one and a half times its size at 96 pixels an inch.
  const runtime::Control* page = Preview()->Find(PreviewPageBase + 1);
  EXPECT_EQ(page->pageWidth, 8268 * 96 * 150 / 100000);
  // A table entry's text chooses the entry.
  driver.Type(*Preview(), PreviewZoomList, "Page Width");
  EXPECT_EQ(preview.ZOOMINDEX, 2);
  EXPECT_EQ(preview.MUSE[1], 1);
  EXPECT_TRUE(Preview()->Find(PreviewZoomItemBase + 2)->checked);
  // Nonsense leaves the zoom as it was.
  driver.Type(*Preview(), PreviewZoomList, "zero");
  EXPECT_EQ(Shown(PreviewZoomList), "Page Width");
}

TEST_F(PrintPreviewTest, TheDisplayDialogRefusesAGridLargerThanTheReport) {
  Open(5);
  driver.Press(*Preview(), PreviewChangeDisplay);
  Window* dialog = Dialog("Change the Report Display");
  ASSERT_NE(dialog, nullptr);
  driver.Type(*dialog, 2, "3");
  driver.Type(*dialog, 4, "3");
  driver.Press(*dialog, 10);
  EXPECT_NE(Dialog("Change the Report Display"), nullptr) << "3 x 3 on 5 pages was taken";
  driver.Type(*dialog, 4, "1");
  driver.Press(*dialog, 10);
  EXPECT_EQ(Dialog("Change the Report Display"), nullptr);
  EXPECT_EQ(preview.PAGESACROSS, 3);
  EXPECT_EQ(preview.PAGESDOWN, 1);
  EXPECT_EQ(PagesOnScreen(), (std::vector<int32_t>{1, 2, 3}));
}

TEST_F(PrintPreviewTest, TheGridSpinsStepBackWhatDoesNotFit) {
  Open(5, -2, 2, 1);
  driver.Type(*Preview(), PreviewPagesDown, "4");
  EXPECT_EQ(Shown(PreviewPagesDown), "2");
  EXPECT_EQ(preview.PAGESDOWN, 2);
  driver.Type(*Preview(), PreviewPagesDown, "2");
  EXPECT_EQ(PagesOnScreen(), (std::vector<int32_t>{1, 2, 3, 4}));
}

TEST_F(PrintPreviewTest, PageDownWalksToTheLastPageAndStopsThere) {
  Open(3);
  Key(runtime::KeyPageDown);
  Key(runtime::KeyPageDown);
  EXPECT_EQ(preview.CURRENTPAGE, 3);
  EXPECT_EQ(PagesOnScreen(), std::vector<int32_t>{3});
  Key(runtime::KeyPageDown);
  EXPECT_EQ(preview.CURRENTPAGE, 3);
  EXPECT_EQ(Shown(PreviewCurrentPage), "3");
  Key(runtime::KeyPageUp);
  EXPECT_EQ(preview.CURRENTPAGE, 2);
  Key(runtime::KeyHome);
  EXPECT_EQ(PagesOnScreen(), std::vector<int32_t>{1});
  Key(runtime::KeyEnd);
  EXPECT_EQ(PagesOnScreen(), std::vector<int32_t>{3});
}

TEST_F(PrintPreviewTest, OnlyThePagesOnScreenGetControls) {
  Open(500, -2, 2, 2);
  driver.Type(*Preview(), PreviewCurrentPage, "499");
  EXPECT_EQ(PagesOnScreen(), (std::vector<int32_t>{497, 498, 499, 500}));
  EXPECT_EQ(Images(), 4);
  EXPECT_EQ(Preview()->Find(PreviewPageBase + 3)->pageFile, queue[498].FILENAME);
  EXPECT_EQ(Preview()->Find(PreviewPageBase + 3)->pageOffset, queue[498].OFFSET);
  // A page already on screen only becomes the current one.
  driver.Type(*Preview(), PreviewCurrentPage, "497");
  EXPECT_EQ(PagesOnScreen(), (std::vector<int32_t>{497, 498, 499, 500}));
}

TEST_F(PrintPreviewTest, ShowingAgainLeavesNoPagesOfTheLastShowing) {
  Open(6, -2, 2, 2);
  driver.Close(*Preview());
  Open(6, 100, 1, 1);
  EXPECT_EQ(Images(), 1);
  EXPECT_EQ(Shown(PreviewZoomList), "100% Zoom");
}

TEST_F(PrintPreviewTest, TheJumpDialogGoesToTheChosenPage) {
  Open(40);
  driver.Press(*Preview(), PreviewJump);
  Window* dialog = Dialog("Jump to a Report Page");
  ASSERT_NE(dialog, nullptr);
  driver.Type(*dialog, 2, "33");
  driver.Press(*dialog, 10);
  EXPECT_EQ(preview.CURRENTPAGE, 33);
  EXPECT_EQ(PagesOnScreen(), std::vector<int32_t>{33});
  driver.Press(*Preview(), PreviewJump);
  driver.Type(*Dialog("Jump to a Report Page"), 2, "2");
  driver.Press(*Dialog("Jump to a Report Page"), 11);
  EXPECT_EQ(preview.CURRENTPAGE, 33);
}

TEST_F(PrintPreviewTest, AClickZoomsToPageWidthAtThePointAndAnotherGoesBack) {
  Open(6, -2, 3, 2);
  const PrintPreview::PageEntry fifth = (*preview.PAGEMANAGER)[4];
  driver.Mouse(runtime::EventMouseDown, PreviewPageBase + 5, fifth.WIDTH / 4, fifth.HEIGHT * 3 / 4);
  EXPECT_EQ(Shown(PreviewZoomList), "Page Width");
  EXPECT_EQ(preview.CURRENTPAGE, 5);
  const runtime::Control* page = Preview()->Find(PreviewPageBase + 1);
  EXPECT_EQ(page->pageFile, queue[4].FILENAME);
  EXPECT_EQ(page->pageOffset, queue[4].OFFSET);
  EXPECT_NEAR(page->centreX, 25, 1);
  EXPECT_NEAR(page->centreY, 75, 1);
  driver.Mouse(runtime::EventMouseDown, PreviewPageBase + 1, 10, 10);
  EXPECT_EQ(Shown(PreviewZoomList), "Tile pages");
  EXPECT_EQ(PagesOnScreen().size(), 6u);
}

TEST_F(PrintPreviewTest, ZoomKeysWalkTheFixedPercentages) {
  Open(2);
  Key(runtime::KeyCtrl + runtime::KeyPlus);
  EXPECT_EQ(preview.CurrentZoom(), 100);
  Key(runtime::KeyCtrl + runtime::KeyPlus);
  EXPECT_EQ(preview.CurrentZoom(), 200);
  Key(runtime::KeyCtrl + runtime::KeyMinus);
  Key(runtime::KeyCtrl + runtime::KeyMinus);
  EXPECT_EQ(preview.CurrentZoom(), 75);
}

TEST_F(PrintPreviewTest, TheToolbarZoomOffersTheTableAsAPopup) {
  Open(2);
  presenter.ScriptPopup(6);
  driver.Press(*Preview(), PreviewTbarZoom);
  EXPECT_EQ(preview.CurrentZoom(), 200);
  ASSERT_FALSE(presenter.popups().empty());
  EXPECT_NE(presenter.popups().back().find("Tile pages"), std::string::npos);
  EXPECT_NE(presenter.popups().back().find("300% Zoom"), std::string::npos);
}

TEST_F(PrintPreviewTest, PrintAnswersOneAndExitZero) {
  presenter.SetPrinterName("office");
  Open(2);
  driver.Press(*Preview(), PreviewTbarPrint);
  EXPECT_TRUE(ended);
  EXPECT_EQ(answer, 1);
  Open(2);
  Key(runtime::KeyEscape);
  EXPECT_TRUE(ended);
  EXPECT_EQ(answer, 0);
}

TEST_F(PrintPreviewTest, PrintWithoutAnyPrinterSaysSoAndKeepsThePreview) {
  Open(2);
  messages.Expect(PrintPreview::kTitle, "No printer is installed", runtime::ButtonOk);
  Key(runtime::KeyCtrl + 'P');
  EXPECT_FALSE(ended);
  EXPECT_NE(Preview(), nullptr);
}

TEST_F(PrintPreviewTest, GeometryIsRememberedWithinTheRunAndInTheSettings) {
  Open(2);
  Preview()->UserMoved(40, 30);
  driver.Resize(700, 500);
  driver.Close(*Preview());
  ASSERT_TRUE(ended);
  Open(2);
  EXPECT_EQ(Preview()->geometry(), (runtime::Rect{40, 30, 700, 500}));
  driver.Close(*Preview());
  // A new run has only the settings file.
  PrintPreview next;
  next.INIMGR = &ini;
  driver.Start([&] {
    next.Setup(&queue);
    next.Show();
  });
  EXPECT_EQ(Preview()->geometry(), (runtime::Rect{40, 30, 700, 500}));
  driver.Close(*Preview());
}

TEST_F(PrintPreviewTest, FindMarksEveryHitAndF3WalksThem) {
  Open(30, -2, 2, 1);
  driver.Press(*Preview(), PreviewFind);
  Window* dialog = Dialog("Find");
  ASSERT_NE(dialog, nullptr);
  driver.Type(*dialog, 2, "invoice 2");  // 2 and 20 to 29
  driver.Press(*dialog, 10);
  ASSERT_EQ(preview.hits().size(), 11u);
  EXPECT_EQ(preview.hits()[0].page, 2);
  EXPECT_EQ(Shown(PreviewFindStatus), "Match 1 of 11");
  EXPECT_EQ(PagesOnScreen(), (std::vector<int32_t>{1, 2}));
  const runtime::Control* second = Preview()->Find(PreviewPageBase + 2);
  ASSERT_EQ(second->pageMarks.size(), 1u);
  EXPECT_TRUE(second->pageMarks[0].current);
  EXPECT_TRUE(Preview()->Find(PreviewPageBase + 1)->pageMarks.empty());
  Key(runtime::KeyF3);
  EXPECT_EQ(preview.CURRENTPAGE, 20);
  Key(runtime::KeyShift + runtime::KeyF3);
  Key(runtime::KeyShift + runtime::KeyF3);
  EXPECT_EQ(preview.CURRENTPAGE, 29);  // round to the last hit
  EXPECT_EQ(Shown(PreviewFindStatus), "Match 11 of 11");
}

TEST_F(PrintPreviewTest, FindingNothingSaysSo) {
  Open(3);
  driver.Press(*Preview(), PreviewFind);
  driver.Type(*Dialog("Find"), 2, "credit note");
  messages.Expect("Find", "\"credit note\" was not found", runtime::ButtonOk);
  driver.Press(*Dialog("Find"), 10);
  EXPECT_TRUE(preview.hits().empty());
}

TEST_F(PrintPreviewTest, SaveAsPdfWritesEveryPageAsText) {
  Open(3);
  presenter.ScriptFileName(folder.File("invoices"));
  driver.Press(*Preview(), PreviewSavePdf);
  std::string text = testing::CommandOutput("pdftotext '" + folder.File("invoices.pdf") + "' -");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 3) << text;
  EXPECT_NE(text.find("Invoice 3"), std::string::npos) << text;
  EXPECT_NE(Preview(), nullptr) << "saving closed the preview";
}

// The desktop's xdg-email stands in as a script that notes what it was given.
TEST_F(PrintPreviewTest, SendByMailAttachesThePdfOrSaysNoMailProgramIsSetUp) {
  std::string bin = folder.File("bin");
  std::filesystem::create_directories(bin);
  std::ofstream(bin + "/xdg-email") << "#!/bin/sh\necho \"$@\" > '" << folder.File("args") << "'\n";
  std::filesystem::permissions(bin + "/xdg-email", std::filesystem::perms::owner_all);
  std::string path = std::getenv("PATH");
  setenv("PATH", (bin + ":" + path).c_str(), 1);
  preview.SetReportTitle("Invoices");
  Open(2);
  driver.Press(*Preview(), PreviewSendMail);
  std::string args;
  std::getline(std::ifstream(folder.File("args")), args);
  ASSERT_EQ(args.rfind("--attach ", 0), 0u) << args;
  std::string pdf = args.substr(9);
  EXPECT_EQ(std::filesystem::path(pdf).filename(), "Invoices.pdf");
  EXPECT_NE(testing::CommandOutput("pdftotext '" + pdf + "' -").find("Invoice 2"),
            std::string::npos);
  std::filesystem::remove_all(std::filesystem::path(pdf).parent_path());

  setenv("PATH", folder.File("nothing").c_str(), 1);
  messages.Expect(PrintPreview::kTitle, "No e-mail program is set up", runtime::ButtonOk);
  driver.Press(*Preview(), PreviewSendMail);
  setenv("PATH", path.c_str(), 1);
  const std::string& told = messages.last().request.text;
  size_t saved = told.find("The report was saved as ");
  ASSERT_NE(saved, std::string::npos) << told;
  std::string kept = told.substr(saved + 24, told.size() - saved - 25);
  EXPECT_TRUE(std::filesystem::exists(kept)) << kept;
  std::filesystem::remove_all(std::filesystem::path(kept).parent_path());
}

}  // namespace
}  // namespace ledora::reporting
