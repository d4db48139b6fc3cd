#include "reporting/zoom_table.h"

#include "framework/constant_table.h"

namespace ledora::reporting {

std::vector<ZoomEntry> LoadZoomTable() {
  ZoomEntry entry{};
  framework::ConstantTable table;
  table.Initialize(framework::TerminateAfterCountByte);
  table.AddItem(framework::ItemPString, runtime::FieldRef::Of(entry.MENUTEXT));
  table.AddItem(framework::ItemPString, runtime::FieldRef::Of(entry.STATUSTEXT));
  table.AddItem(framework::ItemShort, runtime::FieldRef::Of(entry.PERCENTILE));
  table.SetSource(kZoomTableSource);
  std::vector<ZoomEntry> entries;
  while (table.Next() == data::SeverityNone) entries.push_back(entry);
  table.Shutdown();
  return entries;
}

}  // namespace ledora::reporting
