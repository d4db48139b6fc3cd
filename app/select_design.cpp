#include "app/select_design.h"

#include <string>
#include <vector>

#include "app/program.h"
#include "app/window_items.h"
#include "framework/procedure_frame.h"
#include "layout/clear_buffer.h"
#include "layout/design_database.h"
#include "runtime/system/message_service.h"
#include "runtime/system/runtime_error.h"
#include "runtime/values/fixed_string.h"
#include "runtime/window/window.h"

namespace ledora::app {

namespace {

using layout::R_D;
using layout::R_S;
using layout::R_T;

enum SelectDesignControl : int32_t {
  TypePrompt = 1,
  TypeList,
  DesignList,
  NamePrompt,
  NameEntry,
  DefaultPrompt,
  DefaultShown,
  DefaultButton,
  OkButton,
  CancelButton,
  HelpButton,
};

constexpr layout::DesignTable kTables[] = {layout::R_Types, layout::R_Design, layout::R_StdDesign};

std::string Name(const char* field, size_t size) {
  return std::string(runtime::Clip(std::string_view(field, size)));
}

class DesignSelection : public framework::ProcedureFrame {
 public:
  explicit DesignSelection(layout::DesignDatabase& designs) : designs_(designs) {
    SetWindow(&win_);
  }

  data::Severity Initialize() override;
  data::Severity Shutdown() override;
  data::Severity OnAccepted() override;
  data::Severity OnFieldEvent() override;

 private:
  void BuildWindow();
  void FillTypes();
  void FillDesigns();
  void ShowDefault();
  void MakeDefault();
  void TakeEnteredName();
  int32_t SelectedType() const;

  layout::DesignDatabase& designs_;
  runtime::Window win_;
  int32_t reportType_ = 0;  // LOC:ReportType
  std::vector<layout::ReportTypeRecord> types_;
  std::vector<layout::DesignRecord> rows_;
  std::string designName_;
  int used_ = 0;
  std::vector<data::RelationController*> opened_;
};

data::Severity DesignSelection::Initialize() {
  REQUEST = framework::PendingRequest;
  data::Severity result = ProcedureFrame::Initialize();
  if (result != data::SeverityNone) return result;
  ERRORS = &GlobalErrors;
  framework::PendingRequest = framework::RequestNone;
  framework::LastResponse = framework::ResponseNone;
  reportType_ = R_T.TYPENUMBER;
  designs_.BuildTableNames();
  for (layout::DesignTable table : kTables) {
    if (!designs_.Use(table)) return data::SeverityStop;
    ++used_;
  }
  // "&Default" updates through the file manager, which wants the file opened.
  for (layout::DesignTable table : kTables) {
    data::RelationController* relation = designs_.Relations(table);
    if (relation != nullptr && relation->Open() == data::SeverityNone) opened_.push_back(relation);
  }
  BuildWindow();
  AddButton(CancelButton, framework::ResponseCancelled);
  FillTypes();
  OpenWindow();
  return data::SeverityNone;
}

void DesignSelection::BuildWindow() {
  win_.SetTitle("Select design to print");
  win_.SetFont({"Arial", 8, 0, runtime::kNoColour});
  win_.SetSize(228, 170);
  CreateItems(win_,
              {
                  {TypePrompt, runtime::ControlPrompt, {4, 4, 50, 10}, "Reports:"},
                  {TypeList, runtime::ControlDropList, {58, 4, 166, 12}, ""},
                  {DesignList, runtime::ControlList, {4, 20, 220, 90}, ""},
                  {NamePrompt, runtime::ControlPrompt, {4, 116, 60, 10}, "Design Name:"},
                  {NameEntry, runtime::ControlEntry, {68, 115, 156, 12}, ""},
                  {DefaultPrompt, runtime::ControlPrompt, {4, 132, 60, 10}, "Default design:"},
                  {DefaultShown, runtime::ControlString, {68, 132, 156, 10}, ""},
                  {DefaultButton, runtime::ControlButton, {4, 150, 50, 15}, "&Default"},
                  {OkButton, runtime::ControlButton, {64, 150, 50, 15}, "OK"},
                  {CancelButton, runtime::ControlButton, {119, 150, 50, 15}, "Cancel"},
                  {HelpButton, runtime::ControlButton, {174, 150, 50, 15}, "Help"},
              });
  win_.SetListFormat(DesignList, "128L(2)|M~Design~@s32@");
  win_.SetUse(NameEntry, runtime::FieldRef::Of(designName_));
  win_.SetPicture(NameEntry, "@s32");
  win_.SetTip(NameEntry, "Report design name");
  win_.SetPicture(DefaultShown, "@s40");
  win_.SetTip(DefaultButton, "Sets selected design as default");
  win_.SetIcon(DefaultButton, "SMAPAGE.ICO");
  win_.SetIcon(OkButton, "OK.ICO");
  win_.SetIcon(CancelButton, "CANCEL.ICO");
  win_.SetDefaultButton(OkButton);
  win_.Find(HelpButton)->action = runtime::ActionHelpContents;
  win_.SetHelpTopic("select-design");
}

// The caller's type only, when it named one.
void DesignSelection::FillTypes() {
  types_.clear();
  std::vector<std::vector<std::string>> rows;
  runtime::DataFile* file = designs_.File(layout::R_Types);
  layout::ClearBuffer(layout::R_Types);
  if (file->SetOnKey(layout::ReportTypeRecord::TYPENUMBERKEY) == runtime::ErrorNone) {
    while (file->Next() == runtime::ErrorNone) {
      if (reportType_ != 0 && R_T.TYPENUMBER != reportType_) continue;
      types_.push_back(R_T);
      rows.push_back({Name(R_T.TYPENAME, sizeof R_T.TYPENAME)});
    }
  }
  win_.SetRows(TypeList, std::move(rows));
  if (!types_.empty()) {
    win_.SetSelection(TypeList, 1);
    win_.SetText(TypeList, Name(types_[0].TYPENAME, sizeof types_[0].TYPENAME));
  }
  FillDesigns();
}

int32_t DesignSelection::SelectedType() const {
  int32_t row = win_.GetSelection(TypeList);
  if (row < 1 || row > static_cast<int32_t>(types_.size())) return 0;
  return types_[row - 1].TYPENUMBER;
}

void DesignSelection::FillDesigns() {
  rows_.clear();
  std::vector<std::vector<std::string>> rows;
  int32_t type = SelectedType();
  runtime::DataFile* file = designs_.File(layout::R_Design);
  layout::ClearBuffer(layout::R_Design);
  R_D.TYPENUMBER = type;
  if (type != 0 && file->SetOnKey(layout::DesignRecord::TYPEKEY) == runtime::ErrorNone) {
    while (file->Next() == runtime::ErrorNone && R_D.TYPENUMBER == type) {
      rows_.push_back(R_D);
      rows.push_back({Name(R_D.DESIGNNAME, sizeof R_D.DESIGNNAME)});
    }
  }
  win_.SetRows(DesignList, std::move(rows));
  // The highlighted design is the one OK opens until the user picks another.
  designName_.clear();
  if (!rows_.empty()) {
    win_.SetSelection(DesignList, 1);
    designName_ = Name(rows_[0].DESIGNNAME, sizeof rows_[0].DESIGNNAME);
  }
  win_.Display(NameEntry);
  ShowDefault();
}

void DesignSelection::ShowDefault() {
  win_.SetText(DefaultShown, "(None)");
  std::string shown;
  layout::ClearBuffer(layout::R_StdDesign);
  R_S.TYPENR = SelectedType();
  if (designs_.File(layout::R_StdDesign)->Fetch(layout::StdDesignRecord::TYPENUMBERKEY) ==
      runtime::ErrorNone) {
    for (const layout::DesignRecord& row : rows_) {
      if (row.DESIGNNUMBER == R_S.STANDARDDESIGN) {
        shown = Name(row.DESIGNNAME, sizeof row.DESIGNNAME);
      }
    }
  }
  win_.SetText(DefaultShown, shown);
}

void DesignSelection::MakeDefault() {
  int32_t row = win_.GetSelection(DesignList);
  data::FileManager* manager = designs_.Manager(layout::R_StdDesign);
  if (row < 1 || row > static_cast<int32_t>(rows_.size()) || manager == nullptr) return;
  layout::ClearBuffer(layout::R_StdDesign);
  R_S.TYPENR = SelectedType();
  bool found = manager->FetchQuietly(layout::StdDesignRecord::TYPENUMBERKEY) == data::SeverityNone;
  if (!found) R_S.TYPENR = SelectedType();
  R_S.STANDARDDESIGN = rows_[row - 1].DESIGNNUMBER;
  if (found) {
    manager->Update();
  } else {
    manager->Insert();
  }
  ShowDefault();
}

void DesignSelection::TakeEnteredName() {
  win_.Update(NameEntry);
  layout::ClearBuffer(layout::R_Design);
  R_D.TYPENUMBER = SelectedType();
  runtime::AssignPadded(R_D.DESIGNNAME, designName_);
  if (designs_.File(layout::R_Design)->Fetch(layout::DesignRecord::TYPEKEY) == runtime::ErrorNone) {
    SetResponseAndClose(framework::ResponseCompleted);
    return;
  }
  runtime::MessageRequest request;
  request.caption = "Open Existing Design";
  request.icon = runtime::IconAsterisk;
  request.text = std::string(runtime::Clip(designName_)) +
                 "\nThis design does not exist.  Please select an existing design";
  runtime::Messages().Show(request);
  designName_.clear();
  win_.Display(NameEntry);
  win_.Select(NameEntry);
}

data::Severity DesignSelection::OnAccepted() {
  switch (event().accepted) {
    case DefaultButton:
      MakeDefault();
      break;
    case OkButton:
      TakeEnteredName();
      break;
    default:
      break;
  }
  return ProcedureFrame::OnAccepted();
}

data::Severity DesignSelection::OnFieldEvent() {
  if (event().number != runtime::EventNewSelection) return data::SeverityNone;
  if (event().control == TypeList) FillDesigns();
  if (event().control == DesignList) {
    int32_t row = win_.GetSelection(DesignList);
    if (row >= 1 && row <= static_cast<int32_t>(rows_.size())) {
      designName_ = Name(rows_[row - 1].DESIGNNAME, sizeof rows_[row - 1].DESIGNNAME);
      win_.Display(NameEntry);
    }
  }
  return data::SeverityNone;
}

data::Severity DesignSelection::Shutdown() {
  data::Severity result = ProcedureFrame::Shutdown();
  for (auto relation = opened_.rbegin(); relation != opened_.rend(); ++relation) {
    (*relation)->Close();
  }
  opened_.clear();
  while (used_ > 0) designs_.Release(kTables[--used_]);
  if (win_.IsOpen()) win_.Close();
  return result;
}

}  // namespace

uint8_t SelectDesignToPrint() {
  layout::DesignDatabase* designs = layout::Designs();
  if (designs == nullptr) return framework::ResponseCancelled;
  DesignSelection selection(*designs);
  uint8_t response = selection.Run();
  framework::LastResponse = response;
  return response;
}

void SelectDesign() {
  framework::PendingRequest = framework::RequestSelect;
  SelectDesignToPrint();
}

}  // namespace ledora::app
