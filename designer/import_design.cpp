#include "designer/import_design.h"

#include <filesystem>
#include <vector>

#include "designer/designer_dialog.h"
#include "designer/designer_messages.h"
#include "designer/select_report_type.h"
#include "designer/update_window.h"
#include "layout/design_transfer.h"
#include "runtime/values/fixed_string.h"
#include "runtime/window/common_dialogs.h"

namespace ledora::designer {

namespace {

class ImportWindow {
 public:
  ImportWindow(layout::DesignDatabase& designs, std::string file)
      : designs_(designs), file_(std::move(file)) {}
  void Run();

 private:
  void Build();
  void ShowTypes();
  void ShowDesigns();
  void Import();

  layout::DesignDatabase& designs_;
  std::string file_;
  runtime::Window window_;
  std::vector<layout::ReportTypeRecord> types_;
  std::vector<layout::DesignRecord> rows_;
};

void ImportWindow::Build() {
  PrepareDialog(window_, DesignerText("CaptionImportLayout"), 300, 170);
  AddList(window_, ImportTypes, DesignerText("SODReportPrompts"), 32, {6, 6, 140, 110});
  AddList(window_, ImportDesignList, "Designs", 32, {152, 6, 142, 110});
  AddPrompt(window_, ImportNamePrompt, DesignerText("ImportNewDesignName"), {6, 122, 70, 10});
  AddEntry(window_, ImportNameEntry, 32, {80, 121, 140, 12});
  AddButton(window_, ImportButton, DesignerText("TextButtonImport"), {6, 150, 60, 14},
            DesignerText("TipButtonImport"));
  AddButton(window_, ImportClose, DesignerText("TextButtonClose"), {234, 150, 60, 14});
  AddPrompt(window_, ImportCountPrompt, DesignerText("TextImportControl"), {6, 136, 70, 10});
  window_.CreateControl(ImportCount, runtime::ControlString);
  window_.SetRect(ImportCount, {80, 136, 40, 10});
  window_.SetHidden(ImportCountPrompt, true);
  window_.SetHidden(ImportCount, true);
}

void ImportWindow::ShowTypes() {
  types_.clear();
  ForEachRecord(designs_, layout::R_Types, layout::ReportTypeRecord::TYPENUMBERKEY, layout::R_T,
                [&](const layout::ReportTypeRecord& type) { types_.push_back(type); });
  std::vector<std::string> names;
  for (const auto& type : types_) names.emplace_back(runtime::ClippedField(type.TYPENAME));
  ShowRows(window_, ImportTypes, names);
  window_.SetSelection(ImportTypes, types_.empty() ? 0 : 1);
}

// The export file's designs of the selected type, in name order.
void ImportWindow::ShowDesigns() {
  int32_t row = window_.GetSelection(ImportTypes);
  int32_t type =
      row >= 1 && row <= static_cast<int32_t>(types_.size()) ? types_[row - 1].TYPENUMBER : 0;
  rows_.clear();
  designs_.SetExportFile(file_);
  if (designs_.Use(layout::E_Design, false)) {
    designs_.Release(layout::E_Design);
    ForEachRecord(designs_, layout::E_Design, layout::DesignRecord::TYPEKEY, layout::E_D,
                  [&](const layout::DesignRecord& design) {
                    if (design.TYPENUMBER == type) rows_.push_back(design);
                  });
  }
  std::vector<std::string> names;
  for (const auto& design : rows_) names.emplace_back(runtime::ClippedField(design.DESIGNNAME));
  ShowRows(window_, ImportDesignList, names);
  window_.SetSelection(ImportDesignList, rows_.empty() ? 0 : 1);
}

void ImportWindow::Import() {
  int32_t row = window_.GetSelection(ImportDesignList);
  if (row < 1 || row > static_cast<int32_t>(rows_.size())) return;
  layout::E_D = rows_[row - 1];
  window_.SetHidden(ImportCountPrompt, false);
  window_.SetHidden(ImportCount, false);
  layout::DesignTransfer transfer(designs_, TransferTextsFromTable(),
                                  [this](const layout::TransferProgress& progress) {
                                    window_.SetText(ImportCount, std::to_string(progress.done));
                                  });
  layout::ImportResult result = transfer.ImportDesign(file_, window_.GetText(ImportNameEntry));
  window_.SetHidden(ImportCountPrompt, true);
  window_.SetHidden(ImportCount, true);
  if (result == layout::ImportNameExists) window_.Select(ImportNameEntry);
}

void ImportWindow::Run() {
  Build();
  ShowTypes();
  ShowDesigns();
  window_.Open();
  runtime::Event event;
  while (window_.Accept(&event)) {
    if (event.number == runtime::EventNewSelection && event.control == ImportTypes) {
      ShowDesigns();
    } else if (event.number == runtime::EventAccepted && event.accepted == ImportButton) {
      Import();
    } else if (event.number == runtime::EventAccepted && event.accepted == ImportClose) {
      window_.Close();
    }
  }
}

}  // namespace

void ImportDesign(layout::DesignDatabase& designs) {
  std::filesystem::path folder = std::filesystem::current_path();
  runtime::FileDialogRequest request;
  request.title = DesignerText("FileDialogImport");
  request.filter = DesignerText("FileDialogFileTypes");
  bool chosen = runtime::AskFileName(&request);
  std::error_code ignored;
  std::filesystem::current_path(folder, ignored);
  if (!chosen) return;
  ImportWindow window(designs, request.fileName);
  window.Run();
}

}  // namespace ledora::designer
