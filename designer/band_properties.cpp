#include <string>

#include "designer/designer_dialog.h"
#include "designer/designer_messages.h"
#include "designer/property_dialogs.h"
#include "designer/property_form.h"

namespace ledora::designer {

namespace {

using layout::BandEntry;

class BandPropertiesDialog {
 public:
  explicit BandPropertiesDialog(BandEntry& band) : band_(band), form_(window_) {}

  bool Run();

 private:
  void Build();
  // One row of the position group: prompt, default-or-fixed choice, value.
  void Row(int32_t prompt, const char* key, const char* firstKey, std::string* choice,
           int32_t* value, int32_t y);
  void Read();
  void Write();
  void EnableValues();

  BandEntry& band_;
  runtime::Window window_;
  PropertyForm form_;
  bool detail_ = band_.BANDTYPE == layout::BandDetail;
  std::string leftChoice_, topChoice_, widthChoice_, heightChoice_;
  int32_t left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  uint8_t absolute_ = 0, pageBefore_ = 0, pageAfter_ = 0;
  int32_t withPrior_ = 0, withNext_ = 0;
};

void BandPropertiesDialog::Row(int32_t prompt, const char* key, const char* firstKey,
                               std::string* choice, int32_t* value, int32_t y) {
  form_.Prompt(prompt, DesignerText(key), {10, y + 2, 50, 10});
  form_.Choice(prompt + 1, choice, DesignerText(firstKey), DesignerText("TextsFixed"),
               {62, y, 110, 14});
  form_.Number(prompt + 4, value, 6, {176, y, 50, 12}, 0, 999999);
}

void BandPropertiesDialog::Build() {
  const int32_t height = detail_ ? 186 : 100;
  PrepareDialog(window_, DesignerText("CaptionBandProporties"), 240, height);
  form_.Group(BandPositionGroup, DesignerText("TextsPosition"), {4, 4, 232, 76});
  Row(BandLeftPrompt, "TextsLeftMargin", "TextsDefault", &leftChoice_, &left_, 16);
  Row(BandTopPrompt, "TextsTopMargin", "TextsDefault", &topChoice_, &top_, 32);
  Row(BandWidthPrompt, "TextsWidth", "TextsFull", &widthChoice_, &width_, 48);
  Row(BandHeightPrompt, "TextsHeight", "TextsDefault", &heightChoice_, &height_, 64);
  form_.Group(BandOptionsGroup, DesignerText("TextsOptions"), {4, 84, 232, 80});
  form_.Group(BandWidowOrphan, DesignerText("TextsWidowOrphan"), {10, 96, 110, 44});
  form_.Prompt(BandWithPriorPrompt, DesignerText("TextsWithPrior"), {16, 108, 60, 10});
  form_.Number(BandWithPrior, &withPrior_, 1, {80, 106, 30, 12}, 0, 9);
  form_.Prompt(BandWithNextPrompt, DesignerText("TextsWithNext"), {16, 124, 60, 10});
  form_.Number(BandWithNext, &withNext_, 1, {80, 122, 30, 12}, 0, 9);
  form_.Check(BandFixedOnPage, DesignerText("TextsFixedOnPage"), &absolute_, {130, 100, 100, 12});
  form_.Check(BandPageBefore, DesignerText("TextsPageBefore"), &pageBefore_, {130, 116, 100, 12});
  form_.Check(BandPageAfter, DesignerText("TextsPageAfter"), &pageAfter_, {130, 132, 100, 12});
  const int32_t buttons = height - 20;
  form_.OkCancelHelp(BandOk, 236, buttons);
  // Page form, header and footer sit at fixed places of the page: position
  // and size only, and their margins are always values.
  form_.Hide(BandOptionsGroup, BandPageAfter, !detail_);
  if (!detail_) {
    window_.SetEnabled(BandLeftChoice + 1, false);
    window_.SetEnabled(BandTopChoice + 1, false);
  }
}

void BandPropertiesDialog::Read() {
  const layout::ControlGeometry& g = *band_.CTRL;
  auto fixedIf = [](bool fixed) { return fixed ? PropertyForm::kSecond : PropertyForm::kFirst; };
  leftChoice_ = fixedIf(g.XPOS > 0 || !detail_);
  left_ = g.XPOS > 0 ? g.XPOS : 0;
  topChoice_ = fixedIf(g.YPOS > 0 || !detail_);
  top_ = g.YPOS > 0 ? g.YPOS : 0;
  widthChoice_ = fixedIf(g.WIDTH >= 0);
  width_ = g.WIDTH >= 0 ? g.WIDTH : 0;
  heightChoice_ = fixedIf(g.HEIGHT >= 0);
  height_ = g.HEIGHT >= 0 ? g.HEIGHT : 0;
  absolute_ = band_.ABSOLUTE;
  pageBefore_ = band_.PAGEBEFORE;
  pageAfter_ = band_.PAGEAFTER;
  withPrior_ = band_.WITHPRIOR;
  withNext_ = band_.WITHNEXT;
}

void BandPropertiesDialog::EnableValues() {
  window_.SetEnabled(BandLeft, leftChoice_ == PropertyForm::kSecond);
  window_.SetEnabled(BandTop, topChoice_ == PropertyForm::kSecond);
  window_.SetEnabled(BandWidth, widthChoice_ == PropertyForm::kSecond);
  window_.SetEnabled(BandHeight, heightChoice_ == PropertyForm::kSecond);
}

void BandPropertiesDialog::Write() {
  auto fixed = [](const std::string& choice) { return choice == PropertyForm::kSecond; };
  layout::ControlGeometry& g = *band_.CTRL;
  g.XPOS = fixed(leftChoice_) ? left_ : 0;
  g.YPOS = fixed(topChoice_) ? top_ : 0;
  g.WIDTH = fixed(widthChoice_) ? width_ : -1;
  g.HEIGHT = fixed(heightChoice_) ? height_ : -1;
  band_.ABSOLUTE = detail_ ? absolute_ : 1;
  band_.PAGEBEFORE = detail_ ? pageBefore_ : 0;
  band_.PAGEAFTER = detail_ ? pageAfter_ : 0;
  band_.WITHPRIOR = detail_ ? static_cast<uint8_t>(withPrior_) : 0;
  band_.WITHNEXT = detail_ ? static_cast<uint8_t>(withNext_) : 0;
}

bool BandPropertiesDialog::Run() {
  Read();
  Build();
  window_.Open();
  window_.Display();
  EnableValues();
  auto onEvent = [&](const runtime::Event&) { EnableValues(); };
  if (!form_.Run(BandOk, BandCancel, onEvent)) return false;
  Write();
  return true;
}

}  // namespace

bool BandProperties(DesignCanvas& canvas) {
  layout::DesignState& state = canvas.state();
  int position = state.CURRENTBAND;
  BandEntry* band = state.Band(position);
  if (band == nullptr) return false;
  BandPropertiesDialog dialog(*band);
  if (!dialog.Run()) return false;
  CanvasHit hit;
  hit.what = layout::SelectedBand;
  hit.band = position;
  canvas.Select(hit);
  state.DESIGNCHANGED = 1;
  canvas.Arrange();
  return true;
}

}  // namespace ledora::designer
