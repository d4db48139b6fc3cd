// The report types, fields, paper formats and standard designs shipped with
// the program, read from their text form (compiled in from reports/). Start-up
// makes the design files of a data folder that has none from them, and a
// release makes the new-reports file through which they install.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "layout/design_records.h"

namespace ledora::layout {

class DesignDatabase;

struct ShippedDesign {
  DesignRecord design{};
  bool standard = false;  // the type's default design
  std::vector<ContentRecord> contents;
};

class ShippedReports {
 public:
  // Reads the text form; false with error ("line 12: ...") when a line is
  // not understood, and then nothing is kept.
  bool Parse(std::string_view text, std::string* error);

  // Makes the definitions and the designs file under the database's file
  // names, each only when it does not exist yet. Each is built under a
  // temporary name and renamed into place once whole, so a station killed
  // meanwhile leaves no file a later start would take for a complete one.
  // 0, or the first storage error (then nothing half-made is left).
  int32_t MakeDesignFiles(DesignDatabase& designs) const;

  // Makes the new-reports file with the four definition tables at path
  // (an existing one is replaced). 0 or the first storage error.
  int32_t MakeNewReportsFile(DesignDatabase& designs, const std::string& path) const;

  std::vector<ReportTypeRecord> types;
  std::vector<BandRecord> bands;
  std::vector<DataFieldRecord> fields;
  std::vector<TypeFieldRecord> typeFields;
  std::vector<PaperFormatRecord> papers;
  std::vector<ShippedDesign> designs;

 private:
  int32_t MakeDefinitions(DesignDatabase& designs) const;
  int32_t MakeDesigns(DesignDatabase& designs) const;
};

// The shipped text form.
std::string_view ShippedReportsText();
// The standard designs as earlier versions shipped them, in the same form
// (designs only), for bringing their data folders up to date.
std::string_view EarlierDesignsText();

}  // namespace ledora::layout
