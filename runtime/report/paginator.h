// Places laid-out bands on pages: the flow of detail bands through the
// printable area, fixed-position bands, page breaks before and after,
// keep-together counts, and each page's form, header and footer. Finished
// pages go to a PageSink. Report drives it; it knows nothing of controls.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "runtime/report/laid_out_band.h"
#include "runtime/report/page_image.h"

namespace ledora::runtime {

class PageSink {
 public:
  virtual ~PageSink() = default;
  virtual bool TakePage(PageImage page) = 0;  // false stops the report
  // The last page taken ended a document of pages pages.
  virtual bool DocumentEnded(int32_t pages) { return true; }
};

// Supplies the bands every page carries and the fonts the items refer to.
class PageBands {
 public:
  virtual ~PageBands() = default;
  // False when the report has no band of that kind; laid out when asked, so
  // a footer shows the values current when its page ends.
  virtual bool LayOutPageBand(BandKind kind, LaidOutBand* band) = 0;
  virtual const std::vector<ReportFont>& Fonts() = 0;
};

class Paginator {
 public:
  Paginator(const PageFrame& frame, PageBands* pageBands, PageSink* sink);

  // For pages started from now on; a report may be set up after it opened.
  void SetFrame(const PageFrame& frame) { frame_ = frame; }
  bool Place(LaidOutBand band);
  void BreakPage() { breakPending_ = true; }
  // Ends the current page now, so that its footer shows the values of the
  // document it belongs to, and with it the document: the next page is page
  // 1 of a new one, and the page count covers each document alone.
  bool BreakDocument();
  bool Finish();  // ends the last page, if one was started, and its document
  int32_t pagesFinished() const { return finished_; }

 private:
  struct Placed {
    int32_t y;
    size_t firstItem;  // its items are [firstItem, firstItem + band.items.size())
    LaidOutBand band;
  };

  bool PlaceFlowing(LaidOutBand band);
  bool StartPage();
  bool FinishPage();
  bool BreakBefore(const LaidOutBand& band);
  size_t FirstOfGroup(const LaidOutBand& incoming) const;
  bool Linked(size_t before, const LaidOutBand& incoming) const;
  std::vector<LaidOutBand> TakeGroup(size_t first);
  void PutFlowing(LaidOutBand band);
  void Put(const LaidOutBand& band, int32_t x, int32_t y);
  bool PutPageBand(BandKind kind);
  bool EndDocument();

  PageFrame frame_;
  PageBands* pageBands_;
  PageSink* sink_;
  std::optional<PageImage> page_;
  std::vector<Placed> placed_;  // flowing details of the current page
  int32_t flowY_ = 0;
  bool pageHasDetails_ = false;
  int32_t finished_ = 0;
  int32_t documentStart_ = 0;  // pages finished before the current document
  bool breakPending_ = false;
};

}  // namespace ledora::runtime
