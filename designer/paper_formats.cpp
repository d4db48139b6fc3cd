#include "designer/paper_formats.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "designer/designer_dialog.h"
#include "designer/designer_messages.h"
#include "designer/form_routines.h"
#include "designer/paper_format_form.h"
#include "framework/procedure_frame.h"
#include "runtime/values/fixed_string.h"
#include "runtime/window/common_dialogs.h"
#include "runtime/window/scheduler.h"

namespace ledora::designer {

using layout::PaperFormatRecord;
using layout::R_P;

char PaperScaleUnit(std::string_view scale) {
  scale.remove_prefix(std::min(scale.find_first_not_of(' '), scale.size()));
  std::string lower(runtime::Clip(scale));
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower == "m" || lower.starts_with("mil") ? 'M' : '1';
}

namespace {

class PaperFormats {
 public:
  PaperFormats(layout::DesignDatabase& designs, PaperFormatMode mode)
      : designs_(designs), mode_(mode) {}

  bool Run(PaperFormatRecord* chosen);

 private:
  void Build();
  void Load(std::string_view current = {});
  const PaperFormatRecord* Current() const;
  void Insert();
  void Change();
  void Delete();
  void RightClick();
  bool Choose(PaperFormatRecord* chosen);

  layout::DesignDatabase& designs_;
  PaperFormatMode mode_;
  runtime::Window window_;
  std::vector<PaperFormatRecord> rows_;  // the page: format, width, height, scale, orientation
};

void PaperFormats::Build() {
  PrepareDialog(window_, DesignerText("PaperFormatWindowCaption"), 230, 180);
  // From the menu it is a window of its own beside the designer.
  window_.SetModal(mode_ == PaperFormatsSelect);
  window_.CreateControl(PaperSheet, runtime::ControlSheet);
  window_.SetRect(PaperSheet, {4, 4, 222, 148});
  window_.CreateControl(PaperOrderTab, runtime::ControlTab, PaperSheet);
  window_.SetText(PaperOrderTab, DesignerText("PaperFormatOrderText"));
  AddList(window_, PaperList, DesignerText("PaperFormatBrowseHeaderText"), 40, {10, 20, 210, 108});
  window_.Find(PaperList)->parent = PaperOrderTab;
  window_.AddAlert(PaperList, runtime::KeyMouseRightUp, 0);
  AddButton(window_, PaperSelect, DesignerText("TextButtonSelect"), {10, 132, 48, 14},
            DesignerText("TipButtonSelect"));
  AddButton(window_, PaperNew, DesignerText("TextButtonNew"), {64, 132, 48, 14},
            DesignerText("TipButtonNew"));
  AddButton(window_, PaperChange, DesignerText("TextButtonChange"), {118, 132, 48, 14},
            DesignerText("TipButtonChange"));
  AddButton(window_, PaperDelete, DesignerText("TextButtonDelete"), {172, 132, 48, 14},
            DesignerText("TipButtonDelete"));
  AddButton(window_, PaperClose, DesignerText("TextButtonClose"), {118, 160, 48, 14},
            DesignerText("TipButtonClose"));
  AddButton(window_, PaperHelp, DesignerText("TextButtonHelp"), {172, 160, 48, 14},
            DesignerText("TipButtonHelp"));
  window_.SetEnabled(PaperSelect, mode_ == PaperFormatsSelect);
  window_.SetDefaultButton(mode_ == PaperFormatsSelect ? PaperSelect : PaperChange);
}

// Reads the formats in name order; the row of current (or else the first)
// is selected.
void PaperFormats::Load(std::string_view current) {
  rows_.clear();
  runtime::DataFile* file = designs_.File(layout::R_Pformats);
  PaperFormatRecord saved = R_P;
  if (file->SetOrder(PaperFormatRecord::FORMATKEY) == 0) {
    while (file->Next() == 0) rows_.push_back(R_P);
  }
  R_P = saved;
  std::vector<std::string> names;
  int32_t row = rows_.empty() ? 0 : 1;
  for (const PaperFormatRecord& format : rows_) {
    names.emplace_back(runtime::ClippedField(format.FORMATNAME));
    if (!current.empty() && runtime::Clip(current) == names.back()) {
      row = static_cast<int32_t>(names.size());
    }
  }
  ShowRows(window_, PaperList, names);
  window_.SetSelection(PaperList, row);
  bool any = !rows_.empty();
  window_.SetEnabled(PaperChange, any);
  window_.SetEnabled(PaperDelete, any);
  window_.SetEnabled(PaperSelect, any && mode_ == PaperFormatsSelect);
}

const PaperFormatRecord* PaperFormats::Current() const {
  int32_t row = window_.GetSelection(PaperList);
  return row < 1 || row > static_cast<int32_t>(rows_.size()) ? nullptr : &rows_[row - 1];
}

void PaperFormats::Insert() {
  if (UpdatePaperFormat(designs_, framework::RequestInsert)) {
    Load(runtime::ClippedField(R_P.FORMATNAME));
  }
}

// Reads the selected format again by its name, so the form works on the
// stored record (another station may have changed it).
void PaperFormats::Change() {
  const PaperFormatRecord* current = Current();
  if (current == nullptr) return;
  R_P = *current;
  if (designs_.File(layout::R_Pformats)->Fetch(PaperFormatRecord::FORMATKEY) != 0) {
    Load();
    return;
  }
  UpdatePaperFormat(designs_, framework::RequestChange);
  Load(runtime::ClippedField(R_P.FORMATNAME));
}

void PaperFormats::Delete() {
  const PaperFormatRecord* current = Current();
  if (current == nullptr) return;
  R_P = *current;
  if (designs_.File(layout::R_Pformats)->Fetch(PaperFormatRecord::FORMATKEY) == 0) {
    FormFile form{designs_.File(layout::R_Pformats), "R_Pformats",
                  DesignerText("PaperFormatOrderText")};
    // The routine has warned about any failure; the list shows what is stored.
    (void)DeleteFormRecord(form);
  }
  Load();
}

void PaperFormats::RightClick() {
  std::string menu = mode_ == PaperFormatsSelect ? "&Select" : "~&Select";
  menu += "|&New|&Change|&Delete";
  switch (runtime::Popup(menu)) {
    case 1:
      window_.Post(runtime::EventAccepted, PaperSelect);
      break;
    case 2:
      Insert();
      break;
    case 3:
      Change();
      break;
    case 4:
      Delete();
      break;
    default:
      break;
  }
}

bool PaperFormats::Choose(PaperFormatRecord* chosen) {
  const PaperFormatRecord* current = Current();
  if (mode_ != PaperFormatsSelect || current == nullptr) return false;
  R_P = *current;
  if (chosen != nullptr) *chosen = *current;
  return true;
}

bool PaperFormats::Run(PaperFormatRecord* chosen) {
  if (!designs_.Use(layout::R_Pformats)) return false;
  Build();
  Load();
  window_.Open();
  bool selected = false;
  runtime::Event event;
  while (window_.Accept(&event)) {
    bool accepted = event.number == runtime::EventAccepted;
    if (event.number == runtime::EventAlertKey && event.control == PaperList) {
      RightClick();
    } else if ((accepted && event.control == PaperSelect) ||
               (event.number == runtime::EventNewSelection && event.control == PaperList &&
                event.keyCode == runtime::KeyMouseLeftDouble)) {
      if (Choose(chosen)) {
        selected = true;
        window_.Close();
      } else if (!accepted) {
        Change();
      }
    } else if (accepted && event.control == PaperNew) {
      Insert();
    } else if (accepted && event.control == PaperChange) {
      Change();
    } else if (accepted && event.control == PaperDelete) {
      Delete();
    } else if (accepted && event.control == PaperClose) {
      window_.Close();
    }
  }
  designs_.Release(layout::R_Pformats);
  framework::LastResponse = selected ? framework::ResponseCompleted : framework::ResponseCancelled;
  return selected;
}

}  // namespace

bool BrowsePaperFormats(layout::DesignDatabase& designs, PaperFormatMode mode,
                        PaperFormatRecord* chosen) {
  PaperFormats browse(designs, mode);
  return browse.Run(chosen);
}

void StartPaperFormats(layout::DesignDatabase& designs) {
  runtime::Start([&designs] { BrowsePaperFormats(designs, PaperFormatsBrowse); }, 25000);
}

}  // namespace ledora::designer
