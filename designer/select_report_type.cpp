#include "designer/select_report_type.h"

#include <vector>

#include "designer/designer_dialog.h"
#include "designer/designer_messages.h"
#include "framework/procedure_frame.h"
#include "runtime/values/fixed_string.h"

namespace ledora::designer {

bool SelectReportType(layout::DesignDatabase& designs) {
  std::vector<layout::ReportTypeRecord> types;
  ForEachRecord(designs, layout::R_Types, layout::ReportTypeRecord::TYPENAMEKEY, layout::R_T,
                [&](const layout::ReportTypeRecord& type) { types.push_back(type); });
  std::vector<std::string> names;
  for (const auto& type : types) names.emplace_back(runtime::ClippedField(type.TYPENAME));

  runtime::Window window;
  PrepareDialog(window, DesignerText("WinCaptionSelReportType"), 170, 150);
  AddPrompt(window, SelectTypePrompt, "Reports:", {6, 4, 158, 10});
  AddList(window, SelectTypeList, "Reports:", 32, {6, 16, 158, 106});
  AddButton(window, SelectTypeSelect, DesignerText("TextButtonSelect"), {6, 128, 50, 14},
            DesignerText("TipButtonSelect"));
  AddButton(window, SelectTypeCancel, DesignerText("TextButtonCancel"), {60, 128, 50, 14},
            DesignerText("TipButtonCancel"));
  AddButton(window, SelectTypeHelp, DesignerText("TextButtonHelp"), {114, 128, 50, 14});
  window.SetDefaultButton(SelectTypeSelect);
  ShowRows(window, SelectTypeList, names);
  if (!names.empty()) window.SetSelection(SelectTypeList, 1);
  window.Open();
  bool chosen = false;
  framework::LastResponse = framework::ResponseCancelled;
  runtime::Event event;
  while (window.Accept(&event)) {
    bool select = event.number == runtime::EventAccepted && event.accepted == SelectTypeSelect;
    bool twice = event.number == runtime::EventNewSelection && event.control == SelectTypeList &&
                 event.keyCode == runtime::KeyMouseLeftDouble;
    if (select || twice) {
      int32_t row = window.GetSelection(SelectTypeList);
      if (row < 1 || row > static_cast<int32_t>(types.size())) continue;
      layout::R_T = types[row - 1];
      chosen = true;
      framework::LastResponse = framework::ResponseCompleted;
      window.Close();
    } else if (event.number == runtime::EventAccepted && event.accepted == SelectTypeCancel) {
      window.Close();
    }
  }
  return chosen;
}

}  // namespace ledora::designer
