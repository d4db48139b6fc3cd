// A report: paper, printable area, unit, orientation, font, bands and their
// controls, and the run that prints details into page images. The layout
// builder creates its bands and controls from a stored design; the report
// runner opens it, prints one detail per record, ends it and then flushes
// (prints) or discards the pages.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "runtime/report/band_layout.h"
#include "runtime/report/font_metrics.h"
#include "runtime/report/page_output.h"
#include "runtime/report/preview_queue.h"
#include "runtime/report/report_band.h"
#include "runtime/report/report_control.h"
#include "runtime/report/report_types.h"

namespace ledora::runtime {

class ReportRun;

class Report {
 public:
  Report();
  ~Report();
  Report(const Report&) = delete;
  Report& operator=(const Report&) = delete;

  // Settings, in the report unit; changing the unit reinterprets numbers
  // already given rather than converting them.
  void SetUnit(ReportUnit unit) { unit_ = unit; }
  ReportUnit unit() const { return unit_; }
  void SetOrientation(ReportOrientation orientation) { orientation_ = orientation; }
  ReportOrientation orientation() const { return orientation_; }
  // Portrait size of the paper; A4 until set. False (nothing changed) unless positive.
  bool SetPaper(int32_t width, int32_t height);
  // Where flowing detail bands print; false unless width and height are
  // positive. Until set, the paper less half an inch all round.
  bool SetPrintableArea(int32_t x, int32_t y, int32_t width, int32_t height);
  // The printable area in the report unit (a band of width -1 is this wide).
  int32_t areaX() const;
  int32_t areaY() const;
  int32_t areaWidth() const;
  int32_t areaHeight() const;
  // Unset parts of the report font fall back to Arial, 400, 10 points, black.
  void SetFont(const ReportFont& font) { font_ = font; }
  const ReportFont& font() const { return font_; }
  ReportFont ResolvedFont() const;
  // Not owned; until set, ApproximateFontMetrics.
  void SetFontMetrics(FontMetrics* metrics);
  // Each run writes its page image files into a fresh folder inside this
  // one; until set, inside the system's temp folder.
  void SetPageFolder(const std::string& folder) { pageFolder_ = folder; }

  // Structure. Bands and controls share one numbering. Each returns null
  // (runtime error set) on a number in use or unknown.
  ReportBand* AddBand(int32_t number, BandKind kind);
  ReportBand* Band(int32_t number);
  ReportBand* FindBand(BandKind kind);  // the first band of that kind
  ReportControl* CreateControl(int32_t number, ReportControlKind kind, int32_t band);
  ReportControl* Control(int32_t number);
  bool RemoveControl(int32_t number);
  void RemoveAllControls();  // every control that is not a band
  int32_t ControlCount() const { return static_cast<int32_t>(controls_.size()); }
  const std::map<int32_t, ReportControl>& controls() const { return controls_; }

  // How this report lays a band out, with its settings as they are now;
  // page items index into fonts. Runs use it, and so does a design's
  // picture, which must look as the design prints.
  BandLayout Layout(FontTable& fonts) const;

  // The run. Open starts an empty page sequence; with a queue set, every
  // finished page's image file name is appended to it.
  bool Open();
  bool IsOpen() const { return run_ != nullptr; }
  // Not owned; null = the report's own. Pages finished before the queue was
  // set move into it, so none is lost to a late call.
  void SetPageQueue(PreviewQueue* queue);
  // Printing without a preview: while no page queue is set, each finished
  // page goes straight to output (not owned, kept until Close), and Close
  // ends the last page and the document, so a report printed directly does
  // not lose its last page.
  void SetDirectOutput(PageOutput* output, const std::string& title = "Report");
  // Prints one detail band at the flow position (or its fixed position).
  bool Print(int32_t band);
  // The next detail starts a new page (nothing happens on a still empty page).
  bool BreakPage();
  // Ends the current page at once (its footer shows the values current
  // now) and with it a document: the next detail starts a page numbered 1
  // again, and a page count counts each document's pages alone (one
  // invoice among many). False when the page cannot be finished.
  bool BreakDocument();
  // Finishes the last page; false if the report is not open.
  bool EndReport();
  int32_t PagesWritten() const;
  // Sends every queued page to output and removes the files; the queue is
  // emptied either way. A damaged page stops the print with an error.
  bool Flush(PageOutput& output, const std::string& title = "Report");
  void Discard();  // removes the queued pages' spool and empties the queue
  // Discards leftover queued pages; the report can be opened again. False
  // only when a direct output failed to finish.
  bool Close();

 private:
  friend class ReportRun;
  PreviewQueue& ActiveQueue() { return queue_ ? *queue_ : ownQueue_; }
  bool CheckOpen() const;
  // Paper (orientation applied) and printable area in thousandths of an inch.
  PageFrame FrameInMils() const;

  ReportUnit unit_ = ReportUnit::ThousandthsInch;
  ReportOrientation orientation_ = OrientationPortrait;
  // Zero until set: the defaults are in thousandths of an inch whatever the unit.
  int32_t paperWidth_ = 0;
  int32_t paperHeight_ = 0;
  int32_t areaX_ = 0;
  int32_t areaY_ = 0;
  int32_t areaWidth_ = 0;
  int32_t areaHeight_ = 0;
  ReportFont font_;
  ApproximateFontMetrics defaultMetrics_;
  FontMetrics* metrics_ = &defaultMetrics_;
  std::string pageFolder_;

  std::map<int32_t, ReportBand> bands_;
  std::map<int32_t, ReportControl> controls_;

  PreviewQueue* queue_ = nullptr;
  PageOutput* direct_ = nullptr;
  std::string directTitle_;
  PreviewQueue ownQueue_;
  std::unique_ptr<ReportRun> run_;
};

}  // namespace ledora::runtime
