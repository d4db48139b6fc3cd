#include "layout/layout_finder.h"

#include <iterator>

#include "layout/clear_buffer.h"
#include "layout/design_database.h"
#include "layout/report_builder.h"
#include "runtime/system/message_service.h"
#include "runtime/system/runtime_error.h"
#include "runtime/values/fixed_string.h"

namespace ledora::layout {
namespace {

constexpr DesignTable kLayoutTables[] = {R_Types, R_Design, R_Content};

bool FetchType(DesignDatabase& designs, std::string_view typeName) {
  ClearBuffer(R_Types);
  runtime::AssignPadded(R_T.TYPENAME, typeName);
  return designs.File(R_Types)->Fetch(ReportTypeRecord::TYPENAMEKEY) == runtime::ErrorNone;
}

bool FetchDesign(DesignDatabase& designs, std::string_view designName) {
  ClearBuffer(R_Design);
  R_D.TYPENUMBER = R_T.TYPENUMBER;
  runtime::AssignPadded(R_D.DESIGNNAME, designName);
  return designs.File(R_Design)->Fetch(DesignRecord::TYPEKEY) == runtime::ErrorNone;
}

void Say(const char* text) {
  runtime::MessageRequest request;
  request.text = text;
  runtime::Messages().Show(request);
}

}  // namespace

bool LayoutFinder::FindLayout(std::string_view typeName, std::string_view designName) {
  designs_.BuildTableNames();
  ClearBuffer(R_Types);
  ClearBuffer(R_Design);
  for (size_t i = 0; i < std::size(kLayoutTables); ++i) {
    if (designs_.Use(kLayoutTables[i])) continue;
    // All or none: the matching close gives back one use of each.
    while (i-- > 0) designs_.Release(kLayoutTables[i]);
    return false;
  }
  if (!FetchType(designs_, typeName)) ClearBuffer(R_Types);
  if (!FetchDesign(designs_, designName)) ClearBuffer(R_Design);
  return true;
}

void LayoutFinder::CloseLayout() {
  for (DesignTable table : kLayoutTables) {
    if (designs_.UseCount(table) > 0) designs_.Release(table);
  }
}

PrintEntryResult LayoutFinder::FindDesignToPrint(std::string_view typeName,
                                                 std::string_view designName) {
  if (!FetchType(designs_, typeName)) {
    Say("Report type not found");
    return TypeNotFound;
  }
  if (FetchDesign(designs_, designName)) return DesignFound;
  if (R_T.STANDARDDESIGN > 0) {
    ClearBuffer(R_Design);
    R_D.DESIGNNUMBER = R_T.STANDARDDESIGN;
    if (designs_.File(R_Design)->Fetch(DesignRecord::DESIGNNUMBERKEY) == runtime::ErrorNone) {
      return DesignFound;
    }
  }
  Say("Layout not found/selected");
  return LayoutNotFound;
}

namespace {

void BuildWith(ReportBuilder& builder, runtime::Report& report,
               const std::vector<LayoutBand>& bands, const BindField& bind) {
  report.RemoveAllControls();
  std::string fieldName;
  int32_t nextControl = 0;
  builder.Build(report, BuildReportLevel, 0, 0, fieldName, nextControl);
  for (const LayoutBand& band : bands) {
    fieldName.clear();
    while (builder.Build(report, band.kind, band.detail, band.band, fieldName, nextControl) ==
           BuildBindField) {
      if (bind) bind(nextControl, fieldName);
    }
  }
  fieldName.clear();
  int32_t none = 0;
  builder.Build(report, BuildNothing, 0, 0, fieldName, none);
}

}  // namespace

void LayoutFinder::BuildReport(runtime::Report& report, const std::vector<LayoutBand>& bands,
                               const BindField& bind, const std::vector<ContentRecord>* content) {
  ReportBuilder stored(designs_);
  ReportBuilder held(content);
  BuildWith(content != nullptr ? held : stored, report, bands, bind);
}

void BuildReportFromRecords(runtime::Report& report, const std::vector<LayoutBand>& bands,
                            const BindField& bind, const std::vector<ContentRecord>& content) {
  ReportBuilder builder(&content);
  BuildWith(builder, report, bands, bind);
}

bool FindLayout(std::string_view typeName, std::string_view designName) {
  DesignDatabase* designs = Designs();
  if (designs == nullptr) {
    ClearBuffer(R_Types);
    ClearBuffer(R_Design);
    return false;
  }
  return LayoutFinder(*designs).FindLayout(typeName, designName);
}

void CloseLayout() {
  if (DesignDatabase* designs = Designs()) LayoutFinder(*designs).CloseLayout();
}

}  // namespace ledora::layout
