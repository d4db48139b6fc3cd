#include <algorithm>
#include <string>
#include <vector>

#include "designer/designer_dialog.h"
#include "designer/designer_messages.h"
#include "designer/paper_formats.h"
#include "designer/property_dialogs.h"
#include "designer/property_form.h"
#include "designer/select_report_type.h"
#include "runtime/values/fixed_string.h"
#include "runtime/window/common_dialogs.h"

namespace ledora::designer {

namespace {

using layout::PaperFormatRecord;

class ReportPropertiesDialog {
 public:
  ReportPropertiesDialog(DesignCanvas& canvas, layout::DesignDatabase& designs)
      : canvas_(canvas), state_(canvas.state()), designs_(designs), form_(window_) {}

  bool Run();

 private:
  void Build();
  void LoadFormats();
  char Unit() const { return unit_ == PropertyForm::kSecond ? 'M' : '1'; }
  void ApplyFormat(const PaperFormatRecord& format);
  void ChangeUnit(char from);
  void SetBounds();
  void Accept();

  DesignCanvas& canvas_;
  layout::DesignState& state_;
  layout::DesignDatabase& designs_;
  runtime::Window window_;
  PropertyForm form_;
  std::vector<PaperFormatRecord> formats_;  // row 1: the custom size
  std::string unit_;
  std::string orientation_;
  int32_t paperWidth_ = 0;
  int32_t paperHeight_ = 0;
  int32_t left_ = 0;
  int32_t top_ = 0;
  int32_t width_ = 0;
  int32_t height_ = 0;
  runtime::Font font_;
};

void ReportPropertiesDialog::LoadFormats() {
  PaperFormatRecord custom{};
  runtime::AssignPadded(custom.FORMATNAME, "");
  runtime::AssignPadded(custom.PAPERSCALE, kPaperScaleThousandths);
  runtime::AssignPadded(custom.PAPERORIENTATION, "Portrait");
  formats_ = {custom};
  ForEachRecord(designs_, layout::R_Pformats, PaperFormatRecord::FORMATKEY, layout::R_P,
                [&](const PaperFormatRecord& format) { formats_.push_back(format); });
  std::vector<std::string> names;
  for (const PaperFormatRecord& format : formats_) {
    names.emplace_back(runtime::ClippedField(format.FORMATNAME));
  }
  ShowRows(window_, RepPaperType, names);
  window_.SetSelection(RepPaperType, 1);
}

void ReportPropertiesDialog::Build() {
  PrepareDialog(window_, DesignerText("CaptionReportProporties"), 260, 196);
  form_.Group(RepPaperGroup, DesignerText("TextsPaper"), {4, 4, 252, 84});
  form_.Prompt(RepPaperTypePrompt, DesignerText("TextsPapertype"), {10, 18, 60, 10});
  window_.CreateControl(RepPaperType, runtime::ControlDropList);
  window_.SetRect(RepPaperType, {72, 16, 150, 12});
  window_.SetListFormat(RepPaperType, "160L(2)|M~Paper format~@s40@");
  form_.Button(RepPaperLookup, "...", {226, 16, 16, 12});
  form_.Prompt(RepUnitPrompt, DesignerText("TextsUnit"), {10, 34, 60, 10});
  form_.Choice(RepUnit, &unit_, kPaperScaleThousandths, "Millimeter", {70, 30, 170, 14});
  form_.Prompt(RepOrientPrompt, DesignerText("TextsOrientation"), {10, 50, 60, 10});
  form_.Choice(RepOrientation, &orientation_, DesignerText("PaperOrientationPortrait"),
               DesignerText("PaperOrientationLandscape"), {70, 46, 170, 14});
  form_.Prompt(RepWidthPrompt, DesignerText("TextsWidth"), {10, 68, 40, 10});
  form_.Number(RepWidth, &paperWidth_, 6, {52, 66, 50, 12}, 0, 999999);
  form_.Prompt(RepHeightPrompt, DesignerText("TextsHeight"), {120, 68, 40, 10});
  form_.Number(RepHeight, &paperHeight_, 6, {162, 66, 50, 12}, 0, 999999);

  form_.Group(RepAreaGroup, DesignerText("TextsDetailArea"), {4, 92, 252, 60});
  form_.Prompt(RepLeftPrompt, DesignerText("TextsLeftMargin"), {10, 106, 50, 10});
  form_.Number(RepLeft, &left_, 6, {62, 104, 50, 12}, 0, 999999);
  form_.Prompt(RepTopPrompt, DesignerText("TextsTopMargin"), {130, 106, 50, 10});
  form_.Number(RepTop, &top_, 6, {182, 104, 50, 12}, 0, 999999);
  form_.Prompt(RepAreaWidthPrompt, DesignerText("TextsWidth"), {10, 126, 50, 10});
  form_.Number(RepAreaWidth, &width_, 6, {62, 124, 50, 12}, 0, 999999);
  form_.Prompt(RepAreaHeightPrompt, DesignerText("TextsHeight"), {130, 126, 50, 10});
  form_.Number(RepAreaHeight, &height_, 6, {182, 124, 50, 12}, 0, 999999);

  form_.Button(RepFont, DesignerText("ButtonReportFont"), {4, 176, 50, 14},
               DesignerText("ButtonReportFontTip"));
  form_.OkCancelHelp(RepOk, 256, 176);
}

// The format's size in the dialog's unit, and its orientation. A format in
// the other unit is converted, so its paper keeps its real size.
void ReportPropertiesDialog::ApplyFormat(const PaperFormatRecord& format) {
  char unit = PaperScaleUnit(runtime::ClippedField(format.PAPERSCALE));
  paperWidth_ = unit == Unit() ? format.PAPERWIDTH : layout::ConvertUnit(format.PAPERWIDTH, Unit());
  paperHeight_ =
      unit == Unit() ? format.PAPERHEIGHT : layout::ConvertUnit(format.PAPERHEIGHT, Unit());
  bool landscape = runtime::ClippedField(format.PAPERORIENTATION) == "Landscape";
  orientation_ = landscape ? PropertyForm::kSecond : PropertyForm::kFirst;
  SetBounds();
  window_.Display();
}

void ReportPropertiesDialog::ChangeUnit(char from) {
  if (from == Unit()) return;
  for (int32_t* value : {&paperWidth_, &paperHeight_, &left_, &top_, &width_, &height_}) {
    *value = layout::ConvertUnit(*value, Unit());
  }
  SetBounds();
  window_.Display();
}

// The detail area fits on the paper less its margins.
void ReportPropertiesDialog::SetBounds() {
  left_ = std::clamp(left_, 0, paperWidth_);
  top_ = std::clamp(top_, 0, paperHeight_);
  window_.SetSpinRange(RepLeft, 0, paperWidth_);
  window_.SetSpinRange(RepTop, 0, paperHeight_);
  width_ = std::clamp(width_, 0, paperWidth_ - left_);
  height_ = std::clamp(height_, 0, paperHeight_ - top_);
  window_.SetSpinRange(RepAreaWidth, 0, paperWidth_ - left_);
  window_.SetSpinRange(RepAreaHeight, 0, paperHeight_ - top_);
}

void ReportPropertiesDialog::Accept() {
  canvas_.SetScale(Unit());
  state_.ORIENTATION = orientation_ == PropertyForm::kSecond ? 'L' : 'P';
  state_.PAPERCTRL->WIDTH = paperWidth_;
  state_.PAPERCTRL->HEIGHT = paperHeight_;
  state_.DETAILAREA->Place(left_, top_, width_, height_);
  state_.FONTNAME = font_.name;
  state_.FONTSTYLE = static_cast<int16_t>(font_.style);
  state_.FONTSIZE = static_cast<int16_t>(font_.size);
  state_.FONTCOLOR = font_.colour;
  state_.DESIGNCHANGED = 1;
  canvas_.Arrange();
}

bool ReportPropertiesDialog::Run() {
  unit_ = state_.PAPERSCALE == 'M' ? PropertyForm::kSecond : PropertyForm::kFirst;
  orientation_ = state_.ORIENTATION == 'P' ? PropertyForm::kFirst : PropertyForm::kSecond;
  paperWidth_ = state_.PAPERCTRL->WIDTH;
  paperHeight_ = state_.PAPERCTRL->HEIGHT;
  left_ = state_.DETAILAREA->XPOS;
  top_ = state_.DETAILAREA->YPOS;
  width_ = state_.DETAILAREA->WIDTH;
  height_ = state_.DETAILAREA->HEIGHT;
  font_ = {state_.FONTNAME, state_.FONTSIZE, state_.FONTSTYLE, state_.FONTCOLOR};
  Build();
  LoadFormats();
  SetBounds();
  window_.Open();
  window_.Display();
  char shownUnit = Unit();
  auto onEvent = [&](const runtime::Event& event) {
    if (event.number != runtime::EventAccepted) return;
    switch (event.control) {
      case RepPaperType:
        // The blank custom row leaves the entered size alone.
        if (int32_t row = window_.GetSelection(RepPaperType); row > 1) {
          ApplyFormat(formats_[row - 1]);
        }
        break;
      case RepPaperLookup: {
        PaperFormatRecord chosen{};
        if (BrowsePaperFormats(designs_, PaperFormatsSelect, &chosen)) ApplyFormat(chosen);
        break;
      }
      case RepUnit:
        ChangeUnit(shownUnit);
        shownUnit = Unit();
        break;
      case RepFont:
        runtime::AskFont(&font_, DesignerText("CaptionReportFont"));
        break;
      default:
        SetBounds();
        window_.Display();
        break;
    }
  };
  if (!form_.Run(RepOk, RepCancel, onEvent)) return false;
  Accept();
  return true;
}

}  // namespace

bool ReportProperties(DesignCanvas& canvas, layout::DesignDatabase& designs) {
  ReportPropertiesDialog dialog(canvas, designs);
  return dialog.Run();
}

}  // namespace ledora::designer
