#include "designer/open_design_dialog.h"

#include <string>
#include <vector>

#include "designer/design_deletion.h"
#include "designer/designer_dialog.h"
#include "designer/designer_messages.h"
#include "designer/select_report_type.h"
#include "framework/procedure_frame.h"
#include "layout/clear_buffer.h"
#include "layout/record_stream.h"
#include "runtime/values/fixed_string.h"

namespace ledora::designer {

namespace {

using layout::R_D;
using layout::R_S;
using layout::R_T;

class OpenDesign {
 public:
  OpenDesign(layout::DesignDatabase& designs, uint8_t mode, int32_t onlyType)
      : designs_(designs), mode_(mode), onlyType_(onlyType) {}
  bool Run();

 private:
  void Build();
  void LoadTypes();
  void ShowDesigns();
  int32_t StandardDesign();
  bool Ok();
  void ToggleDefault();
  void Delete();
  const layout::DesignRecord* SelectedDesign() const;

  layout::DesignDatabase& designs_;
  uint8_t mode_;
  int32_t onlyType_;
  runtime::Window window_;
  std::vector<layout::ReportTypeRecord> types_;
  std::vector<layout::DesignRecord> rows_;
};

void OpenDesign::Build() {
  bool open = mode_ == OpenDesignOpen;
  PrepareDialog(window_, DesignerText(open ? "SODOpenCaption" : "SODSaveCaption"), 300, 176);
  AddPrompt(window_, OpenTypesPrompt, DesignerText("SODReportPrompts"), {6, 4, 140, 10});
  AddList(window_, OpenTypesList, DesignerText("SODReportPrompts"), 32, {6, 16, 140, 100});
  window_.CreateControl(OpenDesignsList, runtime::ControlList);
  window_.SetRect(OpenDesignsList, {152, 16, 142, 100});
  window_.SetListFormat(OpenDesignsList, "100L(2)|M~Designs~@s32@30L(2)|M@s7@");
  AddPrompt(window_, OpenNamePrompt, DesignerText("SODDesignPrompt"), {6, 122, 60, 10});
  AddEntry(window_, OpenNameEntry, 32, {70, 121, 140, 12});
  AddPrompt(window_, OpenDefaultPrompt, DesignerText("SODDefaultPrompt"), {6, 138, 60, 10});
  window_.CreateControl(OpenDefaultShown, runtime::ControlString);
  window_.SetRect(OpenDefaultShown, {70, 138, 160, 10});
  AddButton(window_, OpenOk, DesignerText("TextButtonOk"), {6, 156, 44, 14});
  AddButton(window_, OpenCancel, DesignerText("TextButtonCancel"), {54, 156, 44, 14});
  AddButton(window_, OpenHelp, DesignerText("TextButtonHelp"), {102, 156, 44, 14});
  AddButton(window_, OpenDelete, DesignerText("TextButtonDelete"), {150, 156, 44, 14});
  AddButton(window_, OpenDefault, DesignerText("SODDefaultButtonText", "Default"),
            {198, 156, 44, 14},
            DesignerText("SODDefaultButtonTip", "Sets selected design as default"));
  window_.SetDefaultButton(OpenOk);
}

void OpenDesign::LoadTypes() {
  int32_t current = R_T.TYPENUMBER;
  types_.clear();
  ForEachRecord(designs_, layout::R_Types, layout::ReportTypeRecord::TYPENUMBERKEY, R_T,
                [&](const layout::ReportTypeRecord& type) {
                  if (onlyType_ == 0 || type.TYPENUMBER == onlyType_) types_.push_back(type);
                });
  std::vector<std::string> names;
  int32_t row = types_.empty() ? 0 : 1;
  for (size_t i = 0; i < types_.size(); ++i) {
    names.emplace_back(runtime::ClippedField(types_[i].TYPENAME));
    if (types_[i].TYPENUMBER == current) row = static_cast<int32_t>(i + 1);
  }
  ShowRows(window_, OpenTypesList, names);
  window_.SetSelection(OpenTypesList, row);
  if (row > 0) R_T = types_[row - 1];
}

// The type's R_StdDesign record names its default design; 0 for none.
int32_t OpenDesign::StandardDesign() {
  int32_t standard = 0;
  if (!designs_.Use(layout::R_StdDesign)) return 0;
  layout::ClearBuffer(layout::R_StdDesign);
  R_S.TYPENR = R_T.TYPENUMBER;
  if (designs_.File(layout::R_StdDesign)->Fetch(layout::StdDesignRecord::TYPENUMBERKEY) == 0) {
    standard = R_S.STANDARDDESIGN;
  }
  designs_.Release(layout::R_StdDesign);
  return standard;
}

void OpenDesign::ShowDesigns() {
  rows_.clear();
  int32_t type = R_T.TYPENUMBER;
  layout::DesignRecord saved = R_D;
  ForEachRecord(designs_, layout::R_Design, layout::DesignRecord::DESIGNNUMBERKEY, R_D,
                [&](const layout::DesignRecord& design) {
                  if (design.TYPENUMBER == type) rows_.push_back(design);
                });
  R_D = saved;
  int32_t standard = StandardDesign();
  std::vector<std::vector<std::string>> rows;
  std::string shown = DesignerText("SODNoStandardText");
  for (const auto& design : rows_) {
    std::string name(runtime::ClippedField(design.DESIGNNAME));
    bool isDefault = design.DESIGNNUMBER == standard;
    if (isDefault) shown = name;
    rows.push_back({name, isDefault ? kDefaultMark : ""});
  }
  // A default record naming a design that is gone shows no name.
  if (standard != 0 && shown == DesignerText("SODNoStandardText")) shown.clear();
  window_.SetRows(OpenDesignsList, std::move(rows));
  window_.SetSelection(OpenDesignsList, rows_.empty() ? 0 : 1);
  window_.SetText(OpenDefaultShown, shown);
}

const layout::DesignRecord* OpenDesign::SelectedDesign() const {
  int32_t row = window_.GetSelection(OpenDesignsList);
  if (row < 1 || row > static_cast<int32_t>(rows_.size())) return nullptr;
  return &rows_[row - 1];
}

bool OpenDesign::Ok() {
  std::string name(runtime::Clip(window_.GetText(OpenNameEntry)));
  if (mode_ == OpenDesignSaveAs) {
    if (name.empty()) return false;
    layout::RecordStream stream(designs_, StreamTextsFromTable());
    layout::NumberingResult result = stream.NumberNewDesign(name);
    return result == layout::NumberedNew || result == layout::OverwriteExisting;
  }
  bool found = false;
  if (designs_.Use(layout::R_Design)) {
    layout::ClearBuffer(layout::R_Design);
    R_D.TYPENUMBER = R_T.TYPENUMBER;
    runtime::AssignPadded(R_D.DESIGNNAME, name);
    found = designs_.File(layout::R_Design)->Fetch(layout::DesignRecord::TYPEKEY) == 0;
    designs_.Release(layout::R_Design);
  }
  if (found) return true;
  ShowDesignerBox(name + "|" + DesignerText("SODMsgNotExistText"),
                  DesignerText("SODMsgNotExistCapt"));
  window_.SetText(OpenNameEntry, "");
  window_.Select(OpenNameEntry);
  return false;
}

void OpenDesign::ToggleDefault() {
  const layout::DesignRecord* design = SelectedDesign();
  if (design == nullptr || !designs_.Use(layout::R_StdDesign)) return;
  runtime::DataFile& file = *designs_.File(layout::R_StdDesign);
  layout::ClearBuffer(layout::R_StdDesign);
  R_S.TYPENR = R_T.TYPENUMBER;
  if (file.Fetch(layout::StdDesignRecord::TYPENUMBERKEY) != 0) {
    R_S.TYPENR = R_T.TYPENUMBER;
    R_S.STANDARDDESIGN = design->DESIGNNUMBER;
    file.Add();
  } else if (R_S.STANDARDDESIGN == design->DESIGNNUMBER) {
    file.Delete();
  } else {
    R_S.STANDARDDESIGN = design->DESIGNNUMBER;
    file.Put();
  }
  designs_.Release(layout::R_StdDesign);
  int32_t row = window_.GetSelection(OpenDesignsList);
  ShowDesigns();
  window_.SetSelection(OpenDesignsList, row);
}

void OpenDesign::Delete() {
  const layout::DesignRecord* design = SelectedDesign();
  if (design == nullptr) return;
  uint32_t answer = ShowDesignerMessage("SODMsgDelDesignText", "SODMsgDelDesignCapt",
                                        runtime::ButtonYes | runtime::ButtonNo, runtime::ButtonNo,
                                        runtime::IconQuestion);
  if (answer != runtime::ButtonYes) return;
  layout::ReportTypeRecord type = R_T;
  DeletionResult result = DeleteDesign(designs_, type.TYPENUMBER, design->DESIGNNUMBER);
  if (result.code != 0) ShowDeletionError(result);
  LoadTypes();
  R_T = type;
  ShowDesigns();
}

bool OpenDesign::Run() {
  layout::ReportTypeRecord enteredType = R_T;
  layout::DesignRecord enteredDesign = R_D;
  Build();
  LoadTypes();
  ShowDesigns();
  window_.SetText(OpenNameEntry, std::string(runtime::ClippedField(enteredDesign.DESIGNNAME)));
  window_.Open();
  // The name is what the user came to type or confirm.
  window_.Select(OpenNameEntry);
  bool completed = false;
  runtime::Event event;
  while (window_.Accept(&event)) {
    if (event.number == runtime::EventNewSelection && event.control == OpenTypesList) {
      int32_t row = window_.GetSelection(OpenTypesList);
      if (row >= 1 && row <= static_cast<int32_t>(types_.size())) R_T = types_[row - 1];
      ShowDesigns();
    } else if (event.number == runtime::EventNewSelection && event.control == OpenDesignsList) {
      if (const layout::DesignRecord* design = SelectedDesign()) {
        window_.SetText(OpenNameEntry, std::string(runtime::ClippedField(design->DESIGNNAME)));
      }
    } else if (event.number == runtime::EventAccepted) {
      switch (event.accepted) {
        case OpenOk:
          completed = Ok();
          if (completed) window_.Close();
          break;
        case OpenCancel:
          window_.Close();
          break;
        case OpenDefault:
          ToggleDefault();
          break;
        case OpenDelete:
          Delete();
          break;
        default:
          break;
      }
    }
  }
  if (!completed) {
    R_T = enteredType;
    R_D = enteredDesign;
  }
  framework::LastResponse = completed ? framework::ResponseCompleted : framework::ResponseCancelled;
  return completed;
}

}  // namespace

layout::StreamTexts StreamTextsFromTable() {
  layout::StreamTexts texts;
  texts.MessageBandNotFound = DesignerText("MessageBandNotFound");
  texts.MessageCBNotFound = DesignerText("MessageCBNotFound");
  texts.SODMsgExistText = DesignerText("SODMsgExistText");
  texts.SODMsgExistCapt = DesignerText("SODMsgExistCapt");
  texts.SODMsgErrorAddText = DesignerText("SODMsgErrorAddText");
  texts.SODMsgErrorAddCapt = DesignerText("SODMsgErrorAddCapt");
  return texts;
}

bool OpenDesignDialog(layout::DesignDatabase& designs, uint8_t mode, int32_t onlyType) {
  OpenDesign dialog(designs, mode, onlyType);
  return dialog.Run();
}

}  // namespace ledora::designer
