#include "designer/paper_format_form.h"

#include <array>
#include <cstring>
#include <string>
#include <utility>

#include "designer/designer_dialog.h"
#include "designer/designer_messages.h"
#include "designer/form_routines.h"
#include "designer/paper_formats.h"
#include "designer/standard_warnings.h"
#include "framework/procedure_frame.h"
#include "layout/design_records.h"
#include "runtime/storage/storage_driver.h"
#include "runtime/system/message_service.h"
#include "runtime/system/runtime_error.h"
#include "runtime/values/fixed_string.h"

namespace ledora::designer {

namespace {

using layout::R_P;

class PaperFormatForm {
 public:
  PaperFormatForm(layout::DesignDatabase& designs, uint8_t request)
      : form_{designs.File(layout::R_Pformats), "R_Pformats", DesignerText("PaperFormatOrderText")},
        request_(request) {}

  bool Run();

 private:
  void Build();
  void AddRadio(int32_t number, int32_t option, std::string_view text, const runtime::Rect& rect);
  void OnTab(int32_t number, runtime::ControlType type, std::string_view text,
             const runtime::Rect& rect);
  void Entry(int32_t number, std::string_view picture, const runtime::FieldRef& use,
             const runtime::Rect& rect);
  void Choice(int32_t number, const runtime::FieldRef& use,
              std::array<std::pair<int32_t, std::string>, 2> radios, int32_t y);
  bool Save();
  bool Changed() const { return std::memcmp(&R_P, &snapshot_, sizeof(R_P)) != 0; }

  FormFile form_;
  uint8_t request_;
  runtime::Window window_;
  layout::PaperFormatRecord snapshot_{};
};

void PaperFormatForm::AddRadio(int32_t number, int32_t option, std::string_view text,
                               const runtime::Rect& rect) {
  window_.CreateControl(number, runtime::ControlRadio, option);
  window_.SetText(number, text);
  window_.SetRadioValue(number, text);
  window_.SetRect(number, rect);
}

void PaperFormatForm::OnTab(int32_t number, runtime::ControlType type, std::string_view text,
                            const runtime::Rect& rect) {
  window_.CreateControl(number, type, PaperFormTab);
  window_.SetText(number, text);
  window_.SetRect(number, rect);
}

void PaperFormatForm::Entry(int32_t number, std::string_view picture, const runtime::FieldRef& use,
                            const runtime::Rect& rect) {
  OnTab(number, runtime::ControlEntry, {}, rect);
  window_.SetPicture(number, picture);
  window_.SetUse(number, use);
}

void PaperFormatForm::Choice(int32_t number, const runtime::FieldRef& use,
                             std::array<std::pair<int32_t, std::string>, 2> radios, int32_t y) {
  OnTab(number, runtime::ControlOption, {}, {66, y - 2, 142, 14});
  window_.SetUse(number, use);
  for (size_t i = 0; i < radios.size(); ++i) {
    AddRadio(radios[i].first, number, radios[i].second,
             {68 + 70 * static_cast<int32_t>(i), y, 66, 10});
  }
}

void PaperFormatForm::Build() {
  using runtime::ControlPrompt;
  using runtime::FieldRef;
  PrepareDialog(window_, DesignerText("PaperFormatWindowCaption"), 220, 150);
  window_.CreateControl(PaperFormSheet, runtime::ControlSheet);
  window_.SetRect(PaperFormSheet, {4, 4, 212, 120});
  window_.CreateControl(PaperFormTab, runtime::ControlTab, PaperFormSheet);
  window_.SetText(PaperFormTab, DesignerText("TabGeneral"));
  OnTab(PaperFormAction, runtime::ControlString,
        DesignerText(request_ == framework::RequestInsert ? "TextButtonNew" : "TextButtonChange"),
        {10, 22, 100, 10});
  OnTab(PaperFormNamePrompt, ControlPrompt, DesignerText("PaperFormatNamePrompt"),
        {10, 38, 56, 10});
  Entry(PaperFormName, "@s40", FieldRef::Of(R_P.FORMATNAME), {68, 36, 140, 12});
  OnTab(PaperFormScalePrompt, ControlPrompt, DesignerText("PaperFormatScalePrompt"),
        {10, 54, 56, 10});
  Choice(PaperFormScale, FieldRef::Of(R_P.PAPERSCALE),
         {{{PaperFormScaleThous, DesignerText("PaperFormatScaleThous")},
           {PaperFormScaleMM, DesignerText("PaperFormatScaleMM")}}},
         52);
  OnTab(PaperFormOrientPrompt, ControlPrompt, DesignerText("PaperFormatOrientPrompt"),
        {10, 70, 56, 10});
  Choice(PaperFormOrientation, FieldRef::Of(R_P.PAPERORIENTATION),
         {{{PaperFormPortrait, "Portrait"}, {PaperFormLandscape, "Landscape"}}}, 68);
  OnTab(PaperFormSizeGroup, runtime::ControlGroup, DesignerText("PaperFormatPaperSizeText"),
        {10, 84, 198, 34});
  OnTab(PaperFormWidthPrompt, ControlPrompt, DesignerText("PromptWidth"), {16, 98, 40, 10});
  Entry(PaperFormWidth, "@n6B", FieldRef::Of(R_P.PAPERWIDTH), {58, 96, 40, 12});
  OnTab(PaperFormHeightPrompt, ControlPrompt, DesignerText("PromptHeight"), {110, 98, 40, 10});
  Entry(PaperFormHeight, "@n6B", FieldRef::Of(R_P.PAPERHEIGHT), {152, 96, 40, 12});

  AddButton(window_, PaperFormOk, DesignerText("TextButtonOk"), {60, 130, 48, 14},
            DesignerText("TipButtonOk"));
  AddButton(window_, PaperFormCancel, DesignerText("TextButtonCancel"), {112, 130, 48, 14},
            DesignerText("TipButtonCancel"));
  AddButton(window_, PaperFormHelp, DesignerText("TextButtonHelp"), {164, 130, 48, 14},
            DesignerText("TipButtonHelp"));
  window_.SetDefaultButton(PaperFormOk);
}

// Writes the record; false keeps the form open (on the name field after a
// duplicate name).
bool PaperFormatForm::Save() {
  if (request_ != framework::RequestInsert) {
    if (ChangeFormRecord(form_, false).done()) return true;
    window_.Display();  // the stored record, read back
    snapshot_ = R_P;
    return false;
  }
  FormResult inserted = InsertFormRecord(form_);
  if (inserted.done()) return true;
  if (inserted.error != runtime::ErrorDuplicateKey) {
    SaveError();
    StandardWarning(WarnRecordInsert);
  }
  window_.Select(PaperFormName);
  return false;
}

bool PaperFormatForm::Run() {
  if (request_ == framework::RequestInsert) {
    R_P = {};
    runtime::AssignPadded(R_P.FORMATNAME, "");
    runtime::AssignPadded(R_P.PAPERSCALE, kPaperScaleThousandths);
    runtime::AssignPadded(R_P.PAPERORIENTATION, "Portrait");
  } else {
    // Formats of earlier versions say "1" or "M"; they show as their unit.
    bool millimetres = PaperScaleUnit(runtime::ClippedField(R_P.PAPERSCALE)) == 'M';
    runtime::AssignPadded(R_P.PAPERSCALE,
                          millimetres ? kPaperScaleMillimetres : kPaperScaleThousandths);
  }
  snapshot_ = R_P;
  Build();
  window_.Open();
  window_.Display();
  window_.Select(PaperFormName);
  bool saved = false;
  runtime::Event event;
  while (window_.Accept(&event)) {
    if (event.number == runtime::EventAccepted && event.control == PaperFormOk) {
      window_.Update();
      if (Save()) {
        saved = true;
        window_.Close();
      }
    } else if ((event.number == runtime::EventAccepted && event.control == PaperFormCancel) ||
               event.number == runtime::EventCloseWindow) {
      window_.Update();
      window_.ConsumeEvent();
      if (!Changed() || StandardWarning(WarnUpdateCancelled) == runtime::ButtonYes) {
        window_.Close();
      }
    }
  }
  framework::LastResponse = saved ? framework::ResponseCompleted : framework::ResponseCancelled;
  return saved;
}

}  // namespace

bool UpdatePaperFormat(layout::DesignDatabase& designs, uint8_t request) {
  PaperFormatForm form(designs, request);
  return form.Run();
}

}  // namespace ledora::designer
