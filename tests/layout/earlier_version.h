// The design files a data folder made by the earlier version holds: today's
// definitions without the fields this version adds, and the designs as the
// earlier version shipped them. Shared by the update's tests and the print
// tests that open such a folder.
#pragma once

#include <algorithm>
#include <set>
#include <string>

#include "layout/shipped_reports.h"
#include "runtime/values/fixed_string.h"

namespace ledora::testing {

inline layout::ShippedReports EarlierVersion() {
  layout::ShippedReports shipped, earlier;
  std::string error;
  shipped.Parse(layout::ShippedReportsText(), &error);
  earlier.Parse(layout::EarlierDesignsText(), &error);
  std::set<int32_t> added;
  std::erase_if(shipped.fields, [&](const layout::DataFieldRecord& field) {
    std::string_view name = runtime::ClippedField(field.FIELDNAME);
    bool isNew = name == "Pagecount" || name == "LOC:PRINTDATE";
    if (isNew) added.insert(field.FIELDNUMBER);
    return isNew;
  });
  std::erase_if(shipped.typeFields, [&](const layout::TypeFieldRecord& pair) {
    return added.count(pair.FIELDNUMBER) > 0;
  });
  shipped.designs = earlier.designs;
  return shipped;
}

}  // namespace ledora::testing
