#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "designer/designer_dialog.h"
#include "designer/designer_messages.h"
#include "designer/image_file.h"
#include "designer/picture_editor.h"
#include "designer/property_dialogs.h"
#include "designer/property_form.h"
#include "designer/select_report_type.h"
#include "runtime/values/fixed_string.h"
#include "runtime/window/common_dialogs.h"

namespace ledora::designer {

namespace {

using layout::ControlEntry;
using layout::DataFieldRecord;

// The kind list in kind-code order, so that a row number is a kind.
constexpr std::array<const char*, 8> kKindKeys = {
    "ControlTypeImage",  "ControlTypeBox",   "ControlTypeLine",     "ControlTypeGroup",
    "ControlTypeString", "ControlTypeField", "ControlTypeCheckbox", "ControlTypeTextField"};
constexpr char kJustCodes[] = "LRCD";
constexpr std::array<const char*, 4> kJustKeys = {"JustLeft", "JustRight", "JustCenter",
                                                  "JustDefault"};

bool ShowsField(uint8_t kind) {
  return kind == layout::KindField || kind == layout::KindCheckBox || kind == layout::KindTextField;
}

class ControlPropertiesDialog {
 public:
  ControlPropertiesDialog(ControlEntry& control, const std::vector<DataFieldRecord>& fields,
                          bool creating)
      : control_(control), fields_(fields), creating_(creating), form_(window_) {}

  bool Run();

 private:
  void Build();
  void BuildProperties();
  void BuildExtra();
  void BuildPosition();
  void Read();
  void Write();
  void ShowKind();
  void ChooseField(int32_t row);
  void MoreText();
  void OnEvent(const runtime::Event& event);

  ControlEntry& control_;
  const std::vector<DataFieldRecord>& fields_;
  bool creating_;
  runtime::Window window_;
  PropertyForm form_;
  uint8_t kind_ = layout::KindString;
  std::string userName_, fieldName_, text_;
  uint8_t transparent_ = 0, resizable_ = 0, round_ = 0;
  int32_t lineColour_ = 0, fillColour_ = 0;
  int32_t left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  std::string widthChoice_, heightChoice_;
  runtime::Font font_;
};

void ControlPropertiesDialog::BuildProperties() {
  form_.SetParent(CtlPropertiesTab);
  form_.Group(CtlPropGroup, DesignerText("TextsControlProp"), {10, 22, 240, 62});
  form_.Prompt(CtlKindPrompt, DesignerText("TextsControlType"), {16, 34, 60, 10});
  window_.CreateControl(CtlKind, runtime::ControlDropList, CtlPropertiesTab);
  window_.SetRect(CtlKind, {80, 32, 120, 12});
  std::vector<std::string> kinds;
  for (const char* key : kKindKeys) kinds.push_back(DesignerText(key));
  ShowRows(window_, CtlKind, kinds);
  form_.Prompt(CtlFieldPrompt, DesignerText("TextsField"), {16, 50, 60, 10});
  window_.CreateControl(CtlField, runtime::ControlDropList, CtlPropertiesTab);
  window_.SetRect(CtlField, {80, 48, 120, 12});
  std::vector<std::string> names = {kPageNumberField};
  for (const DataFieldRecord& f : fields_)
    names.emplace_back(runtime::ClippedField(f.USERFIELDNAME));
  ShowRows(window_, CtlField, names);
  form_.Prompt(CtlTextPrompt, DesignerText("TextsPicture"), {16, 66, 60, 10});
  window_.CreateControl(CtlText, runtime::ControlEntry, CtlPropertiesTab);
  window_.SetRect(CtlText, {80, 64, 146, 12});
  window_.SetPicture(CtlText, "@s255");
  window_.SetUse(CtlText, runtime::FieldRef::Of(text_));
  form_.Button(CtlTextButton, "...", {230, 64, 16, 12});
  form_.Group(CtlFieldPropGroup, DesignerText("TextsFieldProp"), {10, 88, 240, 52});
  form_.Check(CtlTransparent, DesignerText("TextsTransparent"), &transparent_, {16, 100, 100, 12});
  form_.Check(CtlResize, DesignerText("TextsResizeToFit"), &resizable_, {130, 100, 100, 12});
  form_.Prompt(CtlJustPrompt, DesignerText("TextsJustification"), {16, 120, 60, 10});
  window_.CreateControl(CtlJustification, runtime::ControlDropList, CtlPropertiesTab);
  window_.SetRect(CtlJustification, {80, 118, 100, 12});
  std::vector<std::string> justs;
  for (const char* key : kJustKeys) justs.push_back(DesignerText(key));
  ShowRows(window_, CtlJustification, justs);
}

void ControlPropertiesDialog::BuildExtra() {
  form_.SetParent(CtlExtraTab);
  form_.Group(CtlBoxGroup, DesignerText("TextsBoxLineProperties"), {10, 22, 240, 110});
  form_.Group(CtlBoxOptions, DesignerText("ControlBoxOptionGroupText"), {16, 34, 228, 26});
  form_.Check(CtlRoundCorners, DesignerText("TextsRoundCorners"), &round_, {22, 44, 120, 12});
  form_.Group(CtlColourGroup, DesignerText("TextsLineFillColor"), {16, 64, 228, 50});
  form_.Prompt(CtlLineColourPrompt, DesignerText("TextsLineColor"), {22, 78, 60, 10});
  form_.Number(CtlLineColour, &lineColour_, 10, {86, 76, 70, 12}, -1, 0xFFFFFF);
  form_.Button(CtlLineColourButton, "...", {160, 76, 16, 12});
  form_.Prompt(CtlFillColourPrompt, DesignerText("TextsFillColor"), {22, 96, 60, 10});
  form_.Number(CtlFillColour, &fillColour_, 10, {86, 94, 70, 12}, -1, 0xFFFFFF);
  form_.Button(CtlFillColourButton, "...", {160, 94, 16, 12});
  form_.Prompt(CtlTranspInfo, DesignerText("TextsTranspInfo"), {22, 118, 200, 10});
}

void ControlPropertiesDialog::BuildPosition() {
  form_.SetParent(CtlPositionTab);
  form_.Prompt(CtlLeftPrompt, DesignerText("TextsLeft"), {16, 26, 50, 10});
  form_.Number(CtlLeft, &left_, 6, {70, 24, 50, 12}, 0, 999999);
  form_.Prompt(CtlLeftNote, DesignerText("TextsFromMargin"), {126, 26, 80, 10});
  form_.Prompt(CtlTopPrompt, DesignerText("TextsTop"), {16, 44, 50, 10});
  form_.Number(CtlTop, &top_, 6, {70, 42, 50, 12}, 0, 999999);
  form_.Prompt(CtlTopNote, DesignerText("TextsFromMargin"), {126, 44, 80, 10});
  form_.Prompt(CtlWidthPrompt, DesignerText("TextsWidth"), {16, 64, 50, 10});
  form_.Choice(CtlWidthChoice, &widthChoice_, DesignerText("TextsDefault"),
               DesignerText("TextsFixed"), {68, 60, 110, 14});
  form_.Number(CtlWidth, &width_, 6, {182, 62, 50, 12}, 0, 999999);
  form_.Prompt(CtlHeightPrompt, DesignerText("TextsHeight"), {16, 82, 50, 10});
  form_.Choice(CtlHeightChoice, &heightChoice_, DesignerText("TextsDefault"),
               DesignerText("TextsFixed"), {68, 78, 110, 14});
  form_.Number(CtlHeight, &height_, 6, {182, 80, 50, 12}, 0, 999999);
}

void ControlPropertiesDialog::Build() {
  PrepareDialog(window_, DesignerText("WinCaptionControlProp"), 264, 176);
  window_.CreateControl(CtlSheet, runtime::ControlSheet);
  window_.SetRect(CtlSheet, {4, 4, 256, 148});
  const std::array<std::pair<int32_t, const char*>, 3> tabs = {
      {{CtlPropertiesTab, "TextsControlPropTab2"},
       {CtlExtraTab, "TextsControlPropTab3"},
       {CtlPositionTab, "TextsControlPropTab1"}}};
  for (auto [tab, key] : tabs) {
    window_.CreateControl(tab, runtime::ControlTab, CtlSheet);
    window_.SetText(tab, DesignerText(key));
  }
  BuildProperties();
  BuildExtra();
  BuildPosition();
  form_.SetParent(0);
  form_.Button(CtlFont, DesignerText("ButtonReportFont"), {4, 158, 50, 14},
               DesignerText("ButtonReportFontTip"));
  form_.OkCancelHelp(CtlOk, 260, 158);
}

void ControlPropertiesDialog::Read() {
  const ControlEntry& c = control_;
  kind_ = std::clamp<uint8_t>(c.CONTROLTYPE, layout::KindImage, layout::KindTextField);
  userName_ = c.USERFIELDNAME;
  fieldName_ = c.FIELDNAME;
  text_ = c.PICTURE;
  transparent_ = c.TRANSPARENT;
  resizable_ = c.RESIZABLE;
  round_ = c.BOXROUND;
  lineColour_ = c.LINECOLOR;
  fillColour_ = c.BOXCOLOR;
  left_ = c.CTRL->XPOS;
  top_ = c.CTRL->YPOS;
  widthChoice_ = c.CTRL->WIDTH < 0 ? PropertyForm::kFirst : PropertyForm::kSecond;
  width_ = std::max(0, c.CTRL->WIDTH);
  heightChoice_ = c.CTRL->HEIGHT < 0 ? PropertyForm::kFirst : PropertyForm::kSecond;
  height_ = std::max(0, c.CTRL->HEIGHT);
  font_ = {c.FONTNAME, c.FONTSIZE, c.FONTSTYLE, c.FONTCOLOR};
}

void ControlPropertiesDialog::Write() {
  ControlEntry& c = control_;
  c.CONTROLTYPE = kind_;
  c.CTRL->CTRLTYPE = layout::ShownAs(kind_);
  c.USERFIELDNAME = userName_.substr(0, 32);
  c.FIELDNAME = fieldName_.substr(0, 32);
  c.PICTURE = std::string(runtime::Clip(text_)).substr(0, 256);
  c.JUSTIFICATION = kJustCodes[std::clamp(window_.GetSelection(CtlJustification), 1, 4) - 1];
  c.TRANSPARENT = transparent_;
  c.RESIZABLE = resizable_;
  c.BOXROUND = round_;
  c.LINECOLOR = lineColour_;
  c.BOXCOLOR = fillColour_;
  c.CTRL->XPOS = left_;
  c.CTRL->YPOS = top_;
  c.CTRL->WIDTH = widthChoice_ == PropertyForm::kSecond ? width_ : -1;
  c.CTRL->HEIGHT = heightChoice_ == PropertyForm::kSecond ? height_ : -1;
  c.FONTNAME = font_.name;
  c.FONTSTYLE = static_cast<int16_t>(font_.style);
  c.FONTSIZE = static_cast<int16_t>(font_.size);
  c.FONTCOLOR = font_.colour;
}

// The prompts and fields that the kind uses.
void ControlPropertiesDialog::ShowKind() {
  const bool field = ShowsField(kind_);
  const bool image = kind_ == layout::KindImage;
  const bool text = kind_ == layout::KindString || kind_ == layout::KindGroup;
  const bool box = kind_ == layout::KindBox;
  const bool line = kind_ == layout::KindLine;
  window_.SetText(CtlTextPrompt, DesignerText(image  ? "TextsFilename"
                                              : text ? "TextsText"
                                                     : "TextsPicture"));
  form_.Hide(CtlFieldPrompt, CtlField, !(field || image));
  form_.Hide(CtlTextPrompt, CtlText, !(field || image || text));
  window_.SetHidden(CtlTextButton, !(field || image));
  form_.Hide(CtlFieldPropGroup, CtlJustification, !field);
  form_.Hide(CtlBoxGroup, CtlTranspInfo, !(box || line));
  form_.Hide(CtlBoxOptions, CtlRoundCorners, !box);
  form_.Hide(CtlFillColourPrompt, CtlFillColourButton, !box);
  window_.SetEnabled(CtlWidth, widthChoice_ == PropertyForm::kSecond);
  window_.SetEnabled(CtlHeight, heightChoice_ == PropertyForm::kSecond);
}

void ControlPropertiesDialog::ChooseField(int32_t row) {
  if (row == 1) {
    userName_ = fieldName_ = kPageNumberField;
    text_ = kPageNumberPicture;
  } else if (row > 1 && row <= static_cast<int32_t>(fields_.size()) + 1) {
    const DataFieldRecord& f = fields_[row - 2];
    userName_ = runtime::ClippedField(f.USERFIELDNAME);
    fieldName_ = runtime::ClippedField(f.FIELDNAME);
    if (kind_ == layout::KindImage) text_.clear();
    if (creating_ && ShowsField(kind_)) text_ = runtime::ClippedField(f.PICTURE);
    const char* just = std::strchr(kJustCodes, f.JUSTIFICATION[0]);
    int32_t justRow = just != nullptr && *just != '\0' && *just != 'D' ? just - kJustCodes + 1 : 4;
    window_.SetSelection(CtlJustification, justRow);
    resizable_ = f.RESIZABLE;
  }
  window_.Display();
}

void ControlPropertiesDialog::MoreText() {
  if (kind_ == layout::KindImage) {
    std::string name;
    if (AskImageFile(text_, &name)) text_ = name;
  } else if (ShowsField(kind_)) {
    EditPicture(&text_);
  }
  window_.Display(CtlText);
}

void ControlPropertiesDialog::OnEvent(const runtime::Event& event) {
  if (event.number != runtime::EventAccepted) return;
  switch (event.control) {
    case CtlKind:
      kind_ = static_cast<uint8_t>(std::clamp(window_.GetSelection(CtlKind), 1, 8));
      break;
    case CtlField:
      ChooseField(window_.GetSelection(CtlField));
      break;
    case CtlTextButton:
      MoreText();
      break;
    case CtlLineColourButton:
    case CtlFillColourButton: {
      int32_t& colour = event.control == CtlLineColourButton ? lineColour_ : fillColour_;
      int32_t chosen = std::max(0, colour);
      const char* title = event.control == CtlLineColourButton ? "CaptionSelectLineColor"
                                                               : "CaptionSelectFillColor";
      if (runtime::AskColour(&chosen, DesignerText(title))) colour = chosen;
      window_.Display();
      break;
    }
    case CtlFont:
      runtime::AskFont(&font_, DesignerText("CaptionSelectControlFont"));
      break;
    default:
      break;
  }
  ShowKind();
}

bool ControlPropertiesDialog::Run() {
  Read();
  Build();
  window_.Open();
  window_.SetSelection(CtlKind, kind_);
  int32_t fieldRow = 0;
  if (fieldName_ == kPageNumberField) fieldRow = 1;
  for (size_t i = 0; i < fields_.size() && fieldRow == 0; ++i) {
    if (runtime::ClippedField(fields_[i].FIELDNAME) == fieldName_)
      fieldRow = static_cast<int32_t>(i) + 2;
  }
  window_.SetSelection(CtlField, fieldRow);
  const char* just = std::strchr(kJustCodes, control_.JUSTIFICATION);
  window_.SetSelection(CtlJustification,
                       just != nullptr && *just != '\0' ? just - kJustCodes + 1 : 4);
  window_.Display();
  ShowKind();
  if (!form_.Run(CtlOk, CtlCancel, [this](const runtime::Event& e) { OnEvent(e); })) return false;
  Write();
  return true;
}

}  // namespace

bool ControlProperties(ControlEntry& control, const std::vector<DataFieldRecord>& fields,
                       bool creating) {
  ControlPropertiesDialog dialog(control, fields, creating);
  return dialog.Run();
}

std::vector<DataFieldRecord> ReportTypeFields(layout::DesignDatabase& designs, int32_t typeNumber) {
  std::vector<int32_t> offered;
  ForEachRecord(designs, layout::R_TypeFields, layout::TypeFieldRecord::TYPEKEY, layout::R_O,
                [&](const layout::TypeFieldRecord& o) {
                  if (o.TYPENUMBER == typeNumber) offered.push_back(o.FIELDNUMBER);
                });
  std::vector<DataFieldRecord> fields;
  ForEachRecord(designs, layout::R_Fields, DataFieldRecord::USERFIELDKEY, layout::R_F,
                [&](const DataFieldRecord& f) {
                  if (std::find(offered.begin(), offered.end(), f.FIELDNUMBER) != offered.end()) {
                    fields.push_back(f);
                  }
                });
  return fields;
}

}  // namespace ledora::designer
