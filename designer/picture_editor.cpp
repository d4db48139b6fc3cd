#include "designer/picture_editor.h"

#include <algorithm>
#include <array>
#include <vector>

#include "designer/designer_dialog.h"
#include "designer/designer_messages.h"
#include "designer/picture_options.h"
#include "runtime/dates/standard_date.h"
#include "runtime/dates/standard_time.h"
#include "runtime/values/picture.h"
#include "runtime/window/window.h"

namespace ledora::designer {

namespace {

constexpr std::array<const char*, 5> kTypeKeys = {"PictureTypeString", "PictureTypeNumeric",
                                                  "PictureTypeDate", "PictureTypeTime",
                                                  "PictureTypeManual"};
constexpr std::array<const char*, 3> kSignKeys = {"PictureSignNone", "PictureSignLeading",
                                                  "PictureSignTrailing"};
constexpr std::array<const char*, 4> kFillKeys = {"PictureFillNone", "PictureFillSpace",
                                                  "PictureFillAsterisk", "PictureFillZero"};
constexpr std::array<const char*, 4> kGroupKeys = {"PictureGroupDefault", "PictureGroupPeriod",
                                                   "PictureGroupSpace", "PictureGroupHyphen"};
constexpr std::array<const char*, 3> kDecimalKeys = {
    "PictureDecimalPtNone", "PictureDecimalPtPeriod", "PictureDecimalPtComma"};
constexpr std::array<const char*, kSeparators> kSeparatorKeys = {
    "PictureTimeSepDefault", "PictureTimeSepPeriod", "PictureTimeSepDash", "PictureTimeSepSpace",
    "PictureTimeSepComma"};
constexpr std::array<const char*, kDateFormats> kDateRows = {
    "mm/dd/yy", "mm/dd/yyyy", "mmm dd, yyyy", "mmmmmmmmm dd, yyyy",
    "dd/mm/yy", "dd/mm/yyyy", "dd mmm yy",    "dd mmm yyyy",
    "yy/mm/dd", "yyyy/mm/dd", "yymmdd",       "yyyymmdd",
    "mm/yy",    "mm/yyyy",    "yy/mm",        "yyyy/mm"};
constexpr std::array<const char*, kDateFormats> kDateExamples = {
    "10/31/59",  "10/31/1959",  "Oct 31, 1959", "October 31, 1959", "31/10/59", "31/10/1959",
    "31 Oct 59", "31 Oct 1959", "59/10/31",     "1959/10/31",       "591031",   "19591031",
    "10/59",     "10/1959",     "59/10",        "1959/10"};
constexpr std::array<const char*, kTimeFormats> kTimeRows = {"hh:mm",    "hhmm",   "hh:mmXM",
                                                             "hh:mm:ss", "hhmmss", "hh:mm:ssXM"};
constexpr std::array<const char*, kTimeFormats> kTimeExamples = {
    "11:30", "1130", "11:30AM", "11:30:45", "113045", "11:30:45AM"};

template <size_t N>
std::vector<std::string> Texts(const std::array<const char*, N>& keys, const char* prefix = "") {
  std::vector<std::string> texts;
  for (const char* key : keys) texts.push_back(DesignerText(std::string(prefix) + key));
  return texts;
}

class PictureEditor {
 public:
  explicit PictureEditor(const std::string& given) : options_(ReadPicture(given)) {}

  bool Run(std::string* picture) {
    Build();
    Show(true);
    window_.Open();
    // The keyboard starts on the chosen type.
    window_.Select(PicTypeOption + 1 + options_.type);
    bool ok = false;
    runtime::Event event;
    while (window_.Accept(&event)) {
      if (event.number == runtime::EventAccepted && event.control == PicOk) {
        ok = true;
        window_.Close();
      } else if (event.number == runtime::EventAccepted && event.control == PicCancel) {
        window_.Close();
      } else if (event.number == runtime::EventAccepted ||
                 event.number == runtime::EventNewSelection) {
        Changed(event.control);
      }
    }
    if (ok) *picture = built_.picture.substr(0, 255);
    return ok;
  }

 private:
  void Build();
  void AddChoice(int32_t number, const char* promptKey, const std::vector<std::string>& rows,
                 const runtime::Rect& rect);
  void AddSpin(int32_t number, const char* promptKey, int32_t low, int32_t high,
               const runtime::Rect& rect);
  void Changed(int32_t control);
  void Harvest();
  void Show(bool typeChanged);
  void ShowGroups();
  bool Checked(int32_t control) const { return window_.Find(control)->checked; }
  void Check(int32_t control, bool checked) {
    window_.Find(control)->checked = checked;
    window_.Changed(control);
  }
  int Number(int32_t control) const { return std::atoi(window_.GetText(control).c_str()); }

  runtime::Window window_;
  PictureOptions options_;
  BuiltPicture built_;
  std::string typeText_;  // the chosen type, as the radio's text
  std::vector<std::string> typeTexts_ = Texts(kTypeKeys);
  int32_t nextPrompt_ = PicFirstPrompt;
  std::vector<std::pair<int32_t, int32_t>> prompts_;  // prompt, the control it names
};

void PictureEditor::AddChoice(int32_t number, const char* promptKey,
                              const std::vector<std::string>& rows, const runtime::Rect& rect) {
  int32_t prompt = nextPrompt_++;
  AddPrompt(window_, prompt, DesignerText(promptKey), {rect.x - 62, rect.y + 2, 60, 10});
  prompts_.emplace_back(prompt, number);
  window_.CreateControl(number, runtime::ControlDropList);
  window_.SetRect(number, rect);
  ShowRows(window_, number, rows);
}

void PictureEditor::AddSpin(int32_t number, const char* promptKey, int32_t low, int32_t high,
                            const runtime::Rect& rect) {
  int32_t prompt = nextPrompt_++;
  AddPrompt(window_, prompt, DesignerText(promptKey), {rect.x - 62, rect.y + 2, 60, 10});
  prompts_.emplace_back(prompt, number);
  window_.CreateControl(number, runtime::ControlSpin);
  window_.SetRect(number, rect);
  window_.SetSpinRange(number, low, high);
}

void PictureEditor::Build() {
  PrepareDialog(window_, DesignerText("PictureWindowCaption"), 300, 222);
  AddPrompt(window_, nextPrompt_++, DesignerText("PictureTypePrompt"), {6, 6, 60, 10});
  window_.CreateControl(PicTypeOption, runtime::ControlOption);
  window_.SetRect(PicTypeOption, {68, 2, 226, 16});
  window_.SetUse(PicTypeOption, runtime::FieldRef::Of(typeText_));
  for (int i = 0; i < 5; ++i) {
    int32_t radio = PicTypeOption + 1 + i;
    window_.CreateControl(radio, runtime::ControlRadio, PicTypeOption);
    window_.SetText(radio, typeTexts_[i]);
    window_.SetRadioValue(radio, typeTexts_[i]);
    window_.SetRect(radio, {70 + 45 * i, 4, 44, 12});
  }
  window_.CreateControl(PicBlankWhenZero, runtime::ControlCheck);
  window_.SetText(PicBlankWhenZero, DesignerText("PictureBlankWhenZero"));
  window_.SetRect(PicBlankWhenZero, {68, 20, 100, 12});
  window_.CreateControl(PicLeadingZero, runtime::ControlCheck);
  window_.SetText(PicLeadingZero, DesignerText("PictureLeadingZero"));
  window_.SetRect(PicLeadingZero, {180, 20, 100, 12});
  AddPrompt(window_, nextPrompt_++, DesignerText("PictureText"), {6, 38, 60, 10});
  AddEntry(window_, PicPicture, 40, {68, 36, 226, 12});
  window_.SetReadOnly(PicPicture, true);
  AddPrompt(window_, nextPrompt_++, DesignerText("PictureExample"), {6, 52, 60, 10});
  AddEntry(window_, PicExample, 40, {68, 50, 226, 12});
  window_.SetReadOnly(PicExample, true);
  window_.CreateControl(PicPrintsAs, runtime::ControlString);
  window_.SetRect(PicPrintsAs, {68, 64, 226, 10});

  AddSpin(PicStringSize, "PictureSizePrompt", 1, 255, {68, 80, 40, 12});
  AddSpin(PicTotalSize, "PictureSizePrompt", 1, 31, {68, 80, 40, 12});
  AddSpin(PicPlaces, "PicturePlacesPrompt", 0, 30, {68, 96, 40, 12});
  AddChoice(PicSign, "PictureSignText", Texts(kSignKeys), {68, 112, 70, 12});
  AddChoice(PicFilling, "PictureFillingPrompt", Texts(kFillKeys), {68, 128, 70, 12});
  AddChoice(PicGrouping, "PictureGroupingPrompt", Texts(kGroupKeys), {68, 144, 70, 12});
  AddChoice(PicDecimalPoint, "PictureDecimalPtPrompt", Texts(kDecimalKeys), {224, 80, 70, 12});
  AddPrompt(window_, nextPrompt_, DesignerText("PicturePrefixPrompt"), {160, 98, 60, 10});
  prompts_.emplace_back(nextPrompt_++, PicPrefix);
  AddEntry(window_, PicPrefix, 20, {224, 96, 70, 12});
  AddPrompt(window_, nextPrompt_, DesignerText("PictureSuffixPrompt"), {160, 114, 60, 10});
  prompts_.emplace_back(nextPrompt_++, PicSuffix);
  AddEntry(window_, PicSuffix, 20, {224, 112, 70, 12});

  AddList(window_, PicDateList, DesignerText("PictureDateFormatPrompt"), 18, {6, 80, 150, 110});
  ShowRows(window_, PicDateList, Texts(kDateRows, "PictureDate "));
  AddList(window_, PicTimeList, DesignerText("PictureTimeFormatPrompt"), 10, {6, 80, 150, 110});
  ShowRows(window_, PicTimeList, Texts(kTimeRows, "PictureTime "));
  AddList(window_, PicSeparatorList, DesignerText("PictureSeparatorPrompt"), 10,
          {164, 80, 90, 110});
  ShowRows(window_, PicSeparatorList, Texts(kSeparatorKeys));
  AddPrompt(window_, nextPrompt_, DesignerText("PictureText"), {6, 82, 60, 10});
  prompts_.emplace_back(nextPrompt_++, PicManual);
  AddEntry(window_, PicManual, 40, {68, 80, 226, 12});

  AddButton(window_, PicOk, DesignerText("TextButtonOk"), {190, 202, 50, 14},
            DesignerText("TipButtonOk"));
  AddButton(window_, PicCancel, DesignerText("TextButtonCancel"), {244, 202, 50, 14},
            DesignerText("TipButtonCancel"));
  window_.SetDefaultButton(PicOk);
}

// Reads every option from the controls into options_.
void PictureEditor::Harvest() {
  auto found = std::find(typeTexts_.begin(), typeTexts_.end(), typeText_);
  options_.type = found == typeTexts_.end() ? PictureTypeString
                                            : static_cast<PictureType>(found - typeTexts_.begin());
  if (options_.type == PictureTypeManual) {
    // The options mirror the manual picture, so a later change of type
    // starts from it.
    std::string manual = window_.GetText(PicManual);
    options_ = ReadPicture(manual);
    options_.type = PictureTypeManual;
    options_.manual = manual;
    return;
  }
  options_.blankWhenZero = Checked(PicBlankWhenZero);
  options_.leadingZero = Checked(PicLeadingZero);
  options_.stringSize = std::clamp(Number(PicStringSize), 1, 255);
  options_.totalSize = std::clamp(Number(PicTotalSize), 1, 31);
  options_.places = std::clamp(Number(PicPlaces), 0, 30);
  options_.sign = static_cast<PictureSign>(std::max(0, window_.GetSelection(PicSign) - 1));
  options_.filling = static_cast<PictureFill>(std::max(0, window_.GetSelection(PicFilling) - 1));
  options_.grouping = static_cast<PictureGroup>(std::max(0, window_.GetSelection(PicGrouping) - 1));
  if (options_.filling != PictureFillNone) options_.grouping = PictureGroupDefault;
  options_.decimalPoint =
      static_cast<PictureDecimalPt>(std::max(0, window_.GetSelection(PicDecimalPoint) - 1));
  options_.prefix = window_.GetText(PicPrefix);
  options_.suffix = window_.GetText(PicSuffix);
  options_.dateFormat = std::max(1, window_.GetSelection(PicDateList));
  options_.timeFormat = std::max(1, window_.GetSelection(PicTimeList));
  options_.separator = std::max(1, window_.GetSelection(PicSeparatorList));
}

void PictureEditor::Changed(int32_t control) {
  PictureType before = options_.type;
  if (control == PicTypeOption) {
    std::string picture = built_.picture;
    Harvest();
    // Manual starts from the picture built so far.
    if (options_.type == PictureTypeManual) {
      window_.SetText(PicManual, picture);
      Harvest();
    }
  } else {
    Harvest();
  }
  // Choosing a type, even the one shown, leads on to its options.
  Show(options_.type != before || control == PicTypeOption);
}

// Puts options_ into the controls, rebuilds the picture and its example.
void PictureEditor::Show(bool typeChanged) {
  typeText_ = typeTexts_[options_.type];
  window_.Display(PicTypeOption);
  Check(PicBlankWhenZero, options_.blankWhenZero);
  Check(PicLeadingZero, options_.leadingZero);
  window_.SetText(PicStringSize, std::to_string(options_.stringSize));
  window_.SetText(PicTotalSize, std::to_string(options_.totalSize));
  window_.SetText(PicPlaces, std::to_string(options_.places));
  window_.SetSelection(PicSign, options_.sign + 1);
  window_.SetSelection(PicFilling, options_.filling + 1);
  window_.SetSelection(PicGrouping, options_.grouping + 1);
  window_.SetSelection(PicDecimalPoint, options_.decimalPoint + 1);
  window_.SetText(PicPrefix, options_.prefix);
  window_.SetText(PicSuffix, options_.suffix);
  window_.SetSelection(PicDateList, options_.dateFormat);
  window_.SetSelection(PicTimeList, options_.timeFormat);
  window_.SetSelection(PicSeparatorList, options_.separator);
  if (options_.type == PictureTypeManual) window_.SetText(PicManual, options_.manual);

  // The examples come from the text table, so a translated table shows its own.
  std::string example;
  if (options_.type == PictureTypeDate) {
    example = DesignerText(std::string("PictureExample ") + kDateExamples[options_.dateFormat - 1]);
  } else if (options_.type == PictureTypeTime) {
    example = DesignerText(std::string("PictureExample ") + kTimeExamples[options_.timeFormat - 1]);
  }
  built_ = BuildPicture(options_, example);
  window_.SetText(PicPicture, built_.picture);
  window_.SetText(PicExample, built_.example);
  window_.SetText(PicPrintsAs, PrintsAs(built_.picture));
  ShowGroups();
  if (!typeChanged) return;
  static constexpr std::array<int32_t, 5> kFirst = {PicStringSize, PicTotalSize, PicDateList,
                                                    PicTimeList, PicManual};
  if (window_.IsOpen()) window_.Select(kFirst[options_.type]);
}

void PictureEditor::ShowGroups() {
  const PictureType t = options_.type;
  const bool numeric = t == PictureTypeNumeric;
  const bool calendar = t == PictureTypeDate || t == PictureTypeTime;
  auto show = [&](int32_t control, bool shown) {
    window_.SetHidden(control, !shown);
    for (auto [prompt, named] : prompts_) {
      if (named == control) window_.SetHidden(prompt, !shown);
    }
  };
  show(PicStringSize, t == PictureTypeString);
  for (int32_t c :
       {PicTotalSize, PicPlaces, PicSign, PicFilling, PicDecimalPoint, PicPrefix, PicSuffix}) {
    show(c, numeric);
  }
  show(PicGrouping, numeric && options_.filling == PictureFillNone);
  show(PicBlankWhenZero, numeric || calendar);
  show(PicLeadingZero, calendar);
  show(PicDateList, t == PictureTypeDate);
  show(PicTimeList, t == PictureTypeTime);
  show(PicSeparatorList, calendar);
  show(PicManual, t == PictureTypeManual);
}

}  // namespace

bool EditPicture(std::string* picture) {
  PictureEditor editor(*picture);
  return editor.Run(picture);
}

std::string PrintsAs(std::string_view picture) {
  const std::string label = "Prints as: ";
  std::string error;
  std::unique_ptr<runtime::Picture> compiled = runtime::Picture::Compile(picture, &error);
  if (compiled == nullptr) {
    return label + "(the report cannot use this picture" +
           (error.empty() ? std::string(")") : ": " + error + ")");
  }
  switch (compiled->kind()) {
    case runtime::PictureNumber:
      return label + compiled->Format(*runtime::Decimal::Parse("1234567.891"));
    case runtime::PictureDate:
      return label + compiled->Format(runtime::Decimal(runtime::DateFrom(10, 31, 1959)));
    case runtime::PictureTime:
      return label + compiled->Format(runtime::Decimal(runtime::TimeFrom(11, 30, 45, 0)));
    case runtime::PicturePattern:
      return label + compiled->Format(std::string_view("1234567"));
    case runtime::PictureString:
      break;
  }
  return label + compiled->Format(std::string_view("Sample text"));
}

}  // namespace ledora::designer
