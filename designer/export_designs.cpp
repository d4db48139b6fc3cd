#include "designer/export_designs.h"

#include <algorithm>
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

class ExportWindow {
 public:
  explicit ExportWindow(layout::DesignDatabase& designs) : designs_(designs) {}
  void Run();

 private:
  void Build();
  void ShowTypes();
  void ShowDesigns();
  void ToggleTag();
  void PickFile();
  void Export(bool newFile);
  void RefreshButtons();

  layout::DesignDatabase& designs_;
  runtime::Window window_;
  std::vector<layout::ReportTypeRecord> types_;
  std::vector<layout::DesignRecord> rows_;
  std::vector<int32_t> tagged_;
};

void ExportWindow::Build() {
  PrepareDialog(window_, DesignerText("CaptionExportLayout"), 300, 190);
  AddList(window_, ExportTypes, DesignerText("SODReportPrompts"), 32, {6, 6, 140, 110});
  window_.CreateControl(ExportDesignList, runtime::ControlList);
  window_.SetRect(ExportDesignList, {152, 6, 142, 110});
  window_.SetListFormat(ExportDesignList, "100L(2)|M~Designs~@s32@20L(2)|M@s1@");
  AddButton(window_, ExportTag, DesignerText("TextButtonTagUntag"), {152, 120, 68, 14});
  AddButton(window_, ExportUntagAll, DesignerText("TextButtonUntagAll"), {226, 120, 68, 14});
  AddPrompt(window_, ExportFilePrompt, "File Name:", {6, 140, 40, 10});
  AddEntry(window_, ExportFileEntry, 255, {48, 139, 200, 12});
  AddButton(window_, ExportPick, "...", {252, 139, 20, 12});
  AddButton(window_, ExportNewFile, DesignerText("TextButtonNewFile"), {6, 170, 60, 14});
  AddButton(window_, ExportAppend, DesignerText("TextButtonAppend"), {70, 170, 60, 14});
  AddButton(window_, ExportClose, DesignerText("TextButtonClose"), {234, 170, 60, 14});
  AddPrompt(window_, ExportCountPrompt, DesignerText("TextExportControl"), {6, 156, 70, 10});
  window_.CreateControl(ExportCount, runtime::ControlString);
  window_.SetRect(ExportCount, {80, 156, 40, 10});
  window_.CreateControl(ExportBar, runtime::ControlProgress);
  window_.SetRect(ExportBar, {130, 156, 164, 10});
  for (int32_t c : {ExportCountPrompt, ExportCount, ExportBar}) window_.SetHidden(c, true);
}

void ExportWindow::ShowTypes() {
  types_.clear();
  ForEachRecord(designs_, layout::R_Types, layout::ReportTypeRecord::TYPENUMBERKEY, layout::R_T,
                [&](const layout::ReportTypeRecord& type) { types_.push_back(type); });
  std::vector<std::string> names;
  for (const auto& type : types_) names.emplace_back(runtime::ClippedField(type.TYPENAME));
  ShowRows(window_, ExportTypes, names);
  window_.SetSelection(ExportTypes, types_.empty() ? 0 : 1);
}

void ExportWindow::ShowDesigns() {
  int32_t row = window_.GetSelection(ExportTypes);
  int32_t type =
      row >= 1 && row <= static_cast<int32_t>(types_.size()) ? types_[row - 1].TYPENUMBER : 0;
  int32_t selected = window_.GetSelection(ExportDesignList);
  rows_.clear();
  ForEachRecord(designs_, layout::R_Design, layout::DesignRecord::DESIGNNUMBERKEY, layout::R_D,
                [&](const layout::DesignRecord& design) {
                  if (design.TYPENUMBER == type) rows_.push_back(design);
                });
  std::vector<std::vector<std::string>> rows;
  for (const auto& design : rows_) {
    bool tagged = std::find(tagged_.begin(), tagged_.end(), design.DESIGNNUMBER) != tagged_.end();
    rows.push_back({std::string(runtime::ClippedField(design.DESIGNNAME)), tagged ? kTagMark : ""});
  }
  window_.SetRows(ExportDesignList, std::move(rows));
  int32_t count = static_cast<int32_t>(rows_.size());
  window_.SetSelection(ExportDesignList, count == 0 ? 0 : std::clamp(selected, 1, count));
}

void ExportWindow::ToggleTag() {
  int32_t row = window_.GetSelection(ExportDesignList);
  if (row < 1 || row > static_cast<int32_t>(rows_.size())) return;
  int32_t design = rows_[row - 1].DESIGNNUMBER;
  auto at = std::find(tagged_.begin(), tagged_.end(), design);
  if (at == tagged_.end()) {
    tagged_.push_back(design);
  } else {
    tagged_.erase(at);
  }
  ShowDesigns();
}

void ExportWindow::PickFile() {
  std::filesystem::path folder = std::filesystem::current_path();
  runtime::FileDialogRequest request;
  request.title = DesignerText("FileDialogExport");
  request.filter = DesignerText("FileDialogFileTypes");
  request.fileName = window_.GetText(ExportFileEntry);
  request.save = true;
  bool chosen = runtime::AskFileName(&request);
  std::error_code ignored;
  std::filesystem::current_path(folder, ignored);
  if (chosen) window_.SetText(ExportFileEntry, request.fileName);
  RefreshButtons();
}

void ExportWindow::RefreshButtons() {
  bool named = !runtime::Clip(window_.GetText(ExportFileEntry)).empty();
  window_.SetEnabled(ExportNewFile, named);
  window_.SetEnabled(ExportAppend, named);
}

void ExportWindow::Export(bool newFile) {
  for (int32_t c : {ExportCountPrompt, ExportCount, ExportBar}) window_.SetHidden(c, false);
  layout::DesignTransfer transfer(designs_, TransferTextsFromTable(),
                                  [this](const layout::TransferProgress& progress) {
                                    window_.SetText(ExportCount, std::to_string(progress.done));
                                    window_.SetProgress(ExportBar, progress.percent);
                                  });
  transfer.ExportDesigns(tagged_, runtime::Clip(window_.GetText(ExportFileEntry)), newFile);
  for (int32_t c : {ExportCountPrompt, ExportCount, ExportBar}) window_.SetHidden(c, true);
}

void ExportWindow::Run() {
  Build();
  ShowTypes();
  ShowDesigns();
  RefreshButtons();
  window_.Open();
  runtime::Event event;
  while (window_.Accept(&event)) {
    if (event.number == runtime::EventNewSelection && event.control == ExportTypes) {
      ShowDesigns();
    } else if (event.number == runtime::EventAccepted) {
      switch (event.accepted) {
        case ExportTag:
          ToggleTag();
          break;
        case ExportUntagAll:
          tagged_.clear();
          ShowDesigns();
          break;
        case ExportFileEntry:
          RefreshButtons();
          break;
        case ExportPick:
          PickFile();
          break;
        case ExportNewFile:
        case ExportAppend:
          Export(event.accepted == ExportNewFile);
          break;
        case ExportClose:
          window_.Close();
          break;
        default:
          break;
      }
    }
  }
}

}  // namespace

void ExportDesigns(layout::DesignDatabase& designs) {
  ExportWindow window(designs);
  window.Run();
}

}  // namespace ledora::designer
