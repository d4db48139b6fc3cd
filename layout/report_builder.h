// Builds a report's controls at run time from a stored design: the report
// procedures call it once for the report settings and then band by band,
// binding each control it hands back by field name to one of their own
// variables before calling again. Reads the design's content records
// straight from R_Content; the design to print is in R_D (FindLayout).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "layout/design_records.h"
#include "runtime/report/report.h"

namespace ledora::layout {

class DesignDatabase;

enum BuildKind : int16_t {
  BuildNothing = 0,
  BuildReportLevel = 1,
  BuildPageForm = 4,
  BuildPageHeader = 5,
  BuildPageFooter = 6,
  BuildDetail = 7,
};

enum BuildResult : int16_t {
  BuildFinished = 0,   // fieldName blank again
  BuildBindField = 1,  // control nextControl shows the variable named fieldName
};

constexpr int32_t kFirstBuiltControl = 100;  // the first control made gets 101

class ReportBuilder {
 public:
  explicit ReportBuilder(DesignDatabase& designs) : designs_(&designs) {}
  // A design held in memory (the designer's layout, saved or not) is read
  // from content, in its order, instead of from R_Content; not owned.
  explicit ReportBuilder(const std::vector<ContentRecord>* content) : content_(content) {}

  // kind 1: unit, orientation, printable area and font of the report, and
  // nextControl := 100. Kinds 4-7: the band's settings and its controls,
  // each numbered from ++nextControl; returns BuildBindField for each that
  // shows a caller's value, to be called again with fieldName as returned.
  // A blank fieldName starts the band's scan from the design's beginning.
  // Any other kind, a band the report lacks, or a design without records:
  // nothing happens, BuildFinished. R_Content must be open.
  int16_t Build(runtime::Report& report, int16_t kind, int16_t detailNumber, int32_t band,
                std::string& fieldName, int32_t& nextControl);

 private:
  int16_t BuildReportSettings(runtime::Report& report, std::string& fieldName,
                              int32_t& nextControl);
  int16_t BuildBand(runtime::Report& report, int16_t kind, int bandIndex, int32_t band,
                    std::string& fieldName, int32_t& nextControl);
  bool StartDesign();
  bool NextOfDesign();
  void ConfigureBand(runtime::Report& report, runtime::ReportBand& band, int16_t kind);
  void CreateControl(runtime::Report& report, int32_t band, std::string& fieldName,
                     int32_t& nextControl);

  DesignDatabase* designs_ = nullptr;
  const std::vector<ContentRecord>* content_ = nullptr;
  size_t next_ = 0;  // in content_, the record NextOfDesign reads
};

// The call protocol on the process's design database (Designs()); without
// one nothing is built and the result is BuildFinished.
int16_t BuildReportFromLayout(runtime::Report& report, int16_t kind, int16_t detailNumber,
                              int32_t band, std::string& fieldName, int32_t& nextControl);

}  // namespace ledora::layout
