// Finding the design a report procedure prints: the report type by name,
// the design by type and name, falling back to the type's standard design,
// and building the procedure's report from it. The application's report
// procedures use it before they run the report.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "layout/design_records.h"
#include "runtime/report/report.h"

namespace ledora::layout {

class DesignDatabase;

enum PrintEntryResult : uint8_t {
  DesignFound = 0,     // R_T and R_D hold the type and the design to print
  TypeNotFound = 1,    // "Report type not found" was shown
  LayoutNotFound = 2,  // "Layout not found/selected" was shown
};

// A band of the procedure's report that the design may fill.
struct LayoutBand {
  int16_t kind;    // 4 page form, 5 page header, 6 page footer, 7 detail
  int16_t detail;  // for a detail band: which detail of the design
  int32_t band;    // the band's number in the report
};

// Called for each built control that shows one of the procedure's values.
using BindField = std::function<void(int32_t control, const std::string& fieldName)>;

class LayoutFinder {
 public:
  explicit LayoutFinder(DesignDatabase& designs) : designs_(designs) {}

  // Builds the table names and opens R_Types, R_Design and R_Content (one
  // more use each), then looks the type up by name and the design by type
  // and name. A buffer whose record is not found is cleared, so its number
  // reads 0. False when the tables could not be opened (buffers cleared).
  bool FindLayout(std::string_view typeName, std::string_view designName);
  // Gives back one use of each of the three tables; the last use closes.
  void CloseLayout();

  // The print entry's look-up, on the tables FindLayout opened: type by
  // name, then the design by name, else the type's standard design; the
  // messages are shown here.
  PrintEntryResult FindDesignToPrint(std::string_view typeName, std::string_view designName);

  // Builds the design in R_D into report: the report settings, then each
  // band in the order given, handing each control that shows a value to
  // bind, then the closing call. The report's own non-band controls are
  // removed first. content, when given, is the design's records held in
  // memory, built instead of those of R_D (which stay untouched).
  void BuildReport(runtime::Report& report, const std::vector<LayoutBand>& bands,
                   const BindField& bind, const std::vector<ContentRecord>* content = nullptr);

 private:
  DesignDatabase& designs_;
};

// BuildReport for a design held only in memory, with no design database at
// hand: the designer draws its canvas through it.
void BuildReportFromRecords(runtime::Report& report, const std::vector<LayoutBand>& bands,
                            const BindField& bind, const std::vector<ContentRecord>& content);

// FindLayout and CloseLayout on the process's design database (Designs());
// without one FindLayout clears both buffers and answers false.
bool FindLayout(std::string_view typeName, std::string_view designName);
void CloseLayout();

}  // namespace ledora::layout
