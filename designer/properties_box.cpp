#include "designer/properties_box.h"

#include <algorithm>
#include <array>
#include <vector>

#include "designer/designer_dialog.h"
#include "designer/designer_messages.h"
#include "designer/designer_text_table.h"
#include "designer/image_file.h"
#include "designer/picture_editor.h"
#include "designer/property_dialogs.h"
#include "runtime/ini/ini_file.h"
#include "runtime/values/fixed_string.h"
#include "runtime/window/common_dialogs.h"

namespace ledora::designer {

namespace {

constexpr int32_t kTitleHeight = 10;
constexpr int32_t kMinimumHeight = 123;
constexpr int32_t kListGap = 76;  // the field list ends this far above the bottom
constexpr std::array<int32_t, 16> kSizes = {8,  9,  10, 11, 12, 14, 16, 18,
                                            20, 22, 24, 26, 28, 36, 48, 72};

int32_t IniNumber(const char* key, int32_t fallback) {
  std::optional<std::string> value =
      runtime::ReadIniValue(kDesignerIniFile, kPropertiesBoxSection, key);
  return value.has_value() && !value->empty() ? std::atoi(value->c_str()) : fallback;
}

std::string BoxCaptionText(const char* key) {
  return DesignerTexts().TextFor(kPropertiesBoxSection, key, DesignerText(key));
}

// One text of up to 255 characters in a small modal dialog.
bool EditText(std::string* text) {
  enum : int32_t { TextEntry = 1, TextOk, TextCancel };
  runtime::Window window;
  PrepareDialog(window, DesignerText("TextsText"), 220, 44);
  AddEntry(window, TextEntry, 255, {6, 6, 208, 12});
  window.SetText(TextEntry, *text);
  AddButton(window, TextOk, DesignerText("TextButtonOk"), {110, 24, 50, 14});
  AddButton(window, TextCancel, DesignerText("TextButtonCancel"), {164, 24, 50, 14});
  window.SetDefaultButton(TextOk);
  window.Open();
  bool ok = false;
  runtime::Event event;
  while (window.Accept(&event)) {
    if (event.number != runtime::EventAccepted) continue;
    if (event.control == TextOk) {
      *text = window.GetText(TextEntry).substr(0, 255);
      ok = true;
    }
    if (event.control == TextOk || event.control == TextCancel) window.Close();
  }
  return ok;
}

class Box {
 public:
  Box(layout::DesignDatabase& designs, PropertiesLink& link) : designs_(designs), link_(link) {}
  void Run();

 private:
  void Build();
  void Place();
  void LoadFields();
  void Refresh();
  void Apply();
  void Roll();
  void Store();
  void SetHeight(int32_t height);
  void ChooseTool(uint8_t tool);
  void More();
  void OnMouse(const runtime::Event& event);
  void OnAccepted(int32_t control);
  void FocusDesigner() {
    if (link_.designer != nullptr && link_.designer->IsOpen()) link_.designer->Activate();
  }

  layout::DesignDatabase& designs_;
  PropertiesLink& link_;
  runtime::Window window_;
  std::vector<std::string> families_;
  bool rolledDown_ = true;
  int32_t fullHeight_ = kMinimumHeight;
  uint8_t kind_ = 0;  // of the selected control; 0 none
  int32_t colour_ = 0;
  int32_t reportType_ = -1;
  int32_t dragX_ = 0;
  int32_t dragY_ = 0;
  int32_t dragging_ = 0;  // the title row or the sizing strip while pressed
};

void Box::Build() {
  window_.SetTitle(BoxCaptionText("WindowCaption"));
  window_.SetCaption(false);
  window_.SetResizable(true);  // its height follows the roll button and the sizing strip
  window_.SetFont({"MS Sans Serif", 8, 0, runtime::kNoColour});
  window_.CreateControl(BoxTitleRow, runtime::ControlRegion);
  window_.SetRect(BoxTitleRow, {0, 0, 105, kTitleHeight});
  window_.SetTrackMouse(BoxTitleRow, true);
  window_.CreateControl(BoxCaption, runtime::ControlString);
  window_.SetText(BoxCaption, BoxCaptionText("WindowCaption"));
  window_.SetRect(BoxCaption, {2, 1, 76, 8});
  AddButton(window_, BoxRoll, {}, {80, 0, 11, kTitleHeight});
  AddButton(window_, BoxClose, "x", {92, 0, 11, kTitleHeight},
            BoxCaptionText("CloseButtonTooltip"));

  window_.CreateControl(BoxFontName, runtime::ControlDropList);
  window_.SetRect(BoxFontName, {2, 12, 101, 12});
  window_.SetTip(BoxFontName, BoxCaptionText("FontNameListboxTooltip"));
  families_ = runtime::FontFamilies();
  ShowRows(window_, BoxFontName, families_);
  window_.CreateControl(BoxFontSize, runtime::ControlDropList);
  window_.SetRect(BoxFontSize, {2, 26, 28, 12});
  window_.SetTip(BoxFontSize, BoxCaptionText("FontSizeListboxTooltip"));
  std::vector<std::string> sizes;
  for (int32_t size : kSizes) sizes.push_back(std::to_string(size));
  ShowRows(window_, BoxFontSize, sizes);
  const std::array<std::pair<const char*, const char*>, 3> styles = {
      {{"B", "BoldButtonTooltip"}, {"I", "ItalicButtonTooltip"}, {"U", "UnderlineButtonTooltip"}}};
  for (int i = 0; i < 3; ++i) {
    int32_t n = BoxBold + i;
    window_.CreateControl(n, runtime::ControlCheck);
    window_.SetText(n, styles[i].first);
    window_.SetTip(n, BoxCaptionText(styles[i].second));
    window_.SetRect(n, {32 + 14 * i, 26, 13, 12});
  }
  AddButton(window_, BoxColour, "...", {76, 26, 27, 12}, BoxCaptionText("FontColorButtonTooltip"));

  window_.CreateControl(BoxJustification, runtime::ControlOption);
  window_.SetRect(BoxJustification, {2, 40, 33, 12});
  const std::array<std::pair<const char*, const char*>, 3> justs = {
      {{"L", "LeftAlignButtonTooltip"},
       {"C", "CenterAlignButtonTooltip"},
       {"R", "RightAlignButtonTooltip"}}};
  for (int i = 0; i < 3; ++i) {
    int32_t n = BoxJustification + 1 + i;
    window_.CreateControl(n, runtime::ControlRadio, BoxJustification);
    window_.SetText(n, justs[i].first);
    window_.SetTip(n, BoxCaptionText(justs[i].second));
    window_.SetRect(n, {2 + 11 * i, 40, 11, 12});
  }
  window_.CreateControl(BoxTools, runtime::ControlOption);
  window_.SetRect(BoxTools, {36, 40, 67, 12});
  const std::array<std::pair<const char*, const char*>, 5> tools = {{{"^", "TipButtonCancel"},
                                                                     {"[]", "ControlTypeBox"},
                                                                     {"/", "ControlTypeLine"},
                                                                     {"Im", "ControlTypeImage"},
                                                                     {"Ab", "ControlTypeString"}}};
  for (int i = 0; i < 5; ++i) {
    int32_t n = BoxTools + 1 + i;
    window_.CreateControl(n, runtime::ControlRadio, BoxTools);
    window_.SetText(n, tools[i].first);
    window_.SetTip(n, DesignerText(tools[i].second));
    window_.SetRect(n, {36 + 13 * i, 40, 13, 12});
  }
  AddEntry(window_, BoxText, 255, {2, 54, 86, 12});
  AddButton(window_, BoxMore, "...", {89, 54, 14, 12});

  window_.CreateControl(BoxFields, runtime::ControlList);
  window_.SetListFormat(
      BoxFields, "70L(2)|M~" + BoxCaptionText("FieldListboxHeaderText") + "~@s32@20R(2)|M~Nr~@n5@");
  window_.SetVScroll(BoxFields, true);
  window_.SetDragId(BoxFields, "DragFromFieldList");
  window_.CreateControl(BoxSizer, runtime::ControlRegion);
  window_.SetTrackMouse(BoxSizer, true);
}

// Place and rolled state from the INI file; the field list and the sizing
// strip follow the height.
void Box::Place() {
  window_.SetPosition(IniNumber("WindowXposition", 1), IniNumber("WindowYposition", 1));
  int32_t width = IniNumber("WindowWidth", 105);
  fullHeight_ = std::max(kMinimumHeight, IniNumber("WindowHeight", kMinimumHeight));
  rolledDown_ = IniNumber("RolledDown", 1) != 0;
  window_.SetSize(width, rolledDown_ ? fullHeight_ : kTitleHeight);
  window_.SetIcon(BoxRoll, rolledDown_ ? "~rup.ico" : "~rdown.ico");
  window_.SetText(BoxRoll, rolledDown_ ? "^" : "v");
  window_.SetTip(BoxRoll,
                 BoxCaptionText(rolledDown_ ? "RollupButtonTooltip" : "RolldownButtonTooltip"));
  SetHeight(rolledDown_ ? fullHeight_ : kTitleHeight);
}

void Box::SetHeight(int32_t height) {
  const int32_t width = window_.geometry().width;
  // Rolled up, only the title row shows; the rest would hold the window open.
  for (const auto& control : window_.controls()) {
    if (control->number >= BoxFontName) window_.SetHidden(control->number, !rolledDown_);
  }
  window_.SetSize(width, height);
  if (!rolledDown_) return;
  window_.SetRect(BoxFields, {2, 70, width - 4, std::max(0, height - kListGap)});
  window_.SetRect(BoxSizer, {0, height - 5, width, 5});
}

void Box::LoadFields() {
  int32_t type = link_.reportType ? link_.reportType() : 0;
  if (type == reportType_) return;
  reportType_ = type;
  std::vector<std::vector<std::string>> rows;
  for (const layout::DataFieldRecord& f : ReportTypeFields(designs_, type)) {
    rows.push_back(
        {std::string(runtime::ClippedField(f.USERFIELDNAME)), std::to_string(f.FIELDNUMBER)});
  }
  window_.SetRows(BoxFields, std::move(rows));
}

// Shows the selected control's properties.
void Box::Refresh() {
  LoadFields();
  const layout::ControlEntry* control = link_.selectedControl ? link_.selectedControl() : nullptr;
  kind_ = control == nullptr ? 0 : control->CONTROLTYPE;
  if (control != nullptr) {
    std::string name = control->FONTNAME.empty() ? "Arial" : control->FONTNAME;
    auto family = std::find(families_.begin(), families_.end(), name);
    window_.SetSelection(BoxFontName, family == families_.end()
                                          ? 0
                                          : static_cast<int32_t>(family - families_.begin()) + 1);
    window_.SetText(BoxFontName, name);
    int32_t size = control->FONTSIZE == 0 ? 10 : control->FONTSIZE;
    auto at = std::find(kSizes.begin(), kSizes.end(), size);
    window_.SetSelection(BoxFontSize,
                         at == kSizes.end() ? 0 : static_cast<int32_t>(at - kSizes.begin()) + 1);
    window_.SetText(BoxFontSize, std::to_string(size));
    colour_ = control->FONTCOLOR;
    const bool flags[3] = {IsBold(control->FONTSTYLE), IsItalic(control->FONTSTYLE),
                           IsUnderlined(control->FONTSTYLE)};
    for (int i = 0; i < 3; ++i) {
      window_.Find(BoxBold + i)->checked = flags[i];
      window_.Changed(BoxBold + i);
    }
    const char* codes = "LCR";
    for (int i = 0; i < 3; ++i) {
      window_.Find(BoxJustification + 1 + i)->checked = control->JUSTIFICATION == codes[i];
      window_.Changed(BoxJustification + 1 + i);
    }
  }
  bool text =
      kind_ == layout::KindString || kind_ == layout::KindField || kind_ == layout::KindImage;
  window_.SetText(BoxText, text ? control->PICTURE : std::string());
  window_.SetEnabled(BoxText, text);
  window_.SetEnabled(BoxMore, text);
  FocusDesigner();
}

void Box::Apply() {
  int32_t row = window_.GetSelection(BoxFontName);
  link_.fontName = row >= 1 && row <= static_cast<int32_t>(families_.size())
                       ? families_[row - 1].substr(0, 40)
                       : window_.GetText(BoxFontName).substr(0, 40);
  int32_t sizeRow = window_.GetSelection(BoxFontSize);
  link_.fontSize = static_cast<int16_t>(sizeRow >= 1 ? kSizes[sizeRow - 1] : 10);
  link_.fontColour = colour_;
  link_.fontStyle = FontStyleOf(window_.Find(BoxBold)->checked, window_.Find(BoxItalic)->checked,
                                window_.Find(BoxUnderline)->checked);
  link_.justification = 0;
  // Left, centre, right as the shared code counts them: 1, 2, 3.
  for (uint8_t i = 0; i < 3; ++i) {
    if (window_.Find(BoxJustification + 1 + i)->checked) link_.justification = i + 1;
  }
  link_.text = window_.GetText(BoxText).substr(0, 255);
  if (link_.designer != nullptr) link_.designer->Post(EventApplyProperties);
  FocusDesigner();
}

void Box::Roll() {
  int32_t width = 0;
  int32_t height = 0;
  window_.GetSize(&width, &height);
  if (rolledDown_) fullHeight_ = height;
  rolledDown_ = !rolledDown_;
  window_.SetIcon(BoxRoll, rolledDown_ ? "~rup.ico" : "~rdown.ico");
  window_.SetText(BoxRoll, rolledDown_ ? "^" : "v");
  window_.SetTip(BoxRoll,
                 BoxCaptionText(rolledDown_ ? "RollupButtonTooltip" : "RolldownButtonTooltip"));
  SetHeight(rolledDown_ ? fullHeight_ : kTitleHeight);
}

void Box::Store() {
  int32_t x = 0, y = 0, width = 0, height = 0;
  window_.GetPosition(&x, &y);
  window_.GetSize(&width, &height);
  runtime::UpdateIniFile(kDesignerIniFile, [&](runtime::IniDocument& ini) {
    ini.Set(kPropertiesBoxSection, "WindowXposition", std::to_string(x));
    ini.Set(kPropertiesBoxSection, "WindowYposition", std::to_string(y));
    ini.Set(kPropertiesBoxSection, "WindowWidth", std::to_string(width));
    // Rolled up, the height to restore is kept, not the title row's.
    ini.Set(kPropertiesBoxSection, "WindowHeight",
            std::to_string(rolledDown_ ? height : fullHeight_));
    ini.Set(kPropertiesBoxSection, "RolledDown", rolledDown_ ? "1" : "0");
    return true;
  });
}

void Box::ChooseTool(uint8_t tool) {
  link_.pendingTool = tool;
  if (link_.setTool) link_.setTool(tool);
  if (link_.designer != nullptr) {
    link_.designer->SetCursor(tool == 0 ? runtime::CursorArrow : runtime::CursorCross);
  }
  for (uint8_t i = 0; i < 5; ++i) {
    window_.Find(BoxTools + 1 + i)->checked = i == tool;
    window_.Changed(BoxTools + 1 + i);
  }
}

void Box::More() {
  std::string text = window_.GetText(BoxText);
  bool changed = kind_ == layout::KindField    ? EditPicture(&text)
                 : kind_ == layout::KindString ? EditText(&text)
                 : kind_ == layout::KindImage  ? AskImageFile(text, &text)
                                               : false;
  if (!changed) return;
  window_.SetText(BoxText, text);
  Apply();
}

void Box::OnMouse(const runtime::Event& event) {
  if (event.number == runtime::EventMouseDown) {
    dragging_ = event.control;
    dragX_ = event.x;
    dragY_ = event.y;
    return;
  }
  if (dragging_ == 0) return;
  if (event.number == runtime::EventMouseUp) {
    dragging_ = 0;
    FocusDesigner();
    return;
  }
  if (dragging_ == BoxTitleRow) {
    int32_t x = 0, y = 0;
    window_.GetPosition(&x, &y);
    window_.SetPosition(std::max(0, x + event.x - dragX_), std::max(0, y + event.y - dragY_));
  } else if (dragging_ == BoxSizer && rolledDown_) {
    runtime::Rect strip = window_.GetRect(BoxSizer);
    int32_t height = strip.y + event.y;
    if (height > kMinimumHeight) SetHeight(height);
  }
}

void Box::OnAccepted(int32_t control) {
  switch (control) {
    case BoxRoll:
      Roll();
      return;
    case BoxClose:
      window_.Post(runtime::EventCloseWindow);
      return;
    case BoxColour:
      if (runtime::AskColour(&colour_)) Apply();
      return;
    case BoxTools:
      for (uint8_t i = 0; i < 5; ++i) {
        if (window_.Find(BoxTools + 1 + i)->checked) ChooseTool(i);
      }
      return;
    case BoxMore:
      More();
      return;
    case BoxFields:
      return;
    default:
      Apply();
      return;
  }
}

void Box::Run() {
  designs_.Use(layout::R_Fields);
  designs_.Use(layout::R_TypeFields);
  Build();
  Place();
  link_.box = &window_;
  window_.Open();
  Refresh();
  runtime::Event event;
  while (window_.Accept(&event)) {
    switch (event.number) {
      case runtime::EventAccepted:
        OnAccepted(event.control);
        break;
      case runtime::EventMouseDown:
      case runtime::EventMouseMove:
      case runtime::EventMouseUp:
        OnMouse(event);
        break;
      case EventSelectionChanged:
        Refresh();
        break;
      case EventBringToFront:
        window_.Activate();
        break;
      case EventToolPlaced:
        ChooseTool(0);
        break;
      case EventCloseBox:
        window_.Post(runtime::EventCloseWindow);
        break;
      case runtime::EventCloseWindow:
      case runtime::EventCloseDown:
        Store();
        break;
      default:
        break;
    }
  }
  link_.box = nullptr;
  designs_.Release(layout::R_TypeFields);
  designs_.Release(layout::R_Fields);
}

}  // namespace

void PropertiesBox(layout::DesignDatabase& designs, PropertiesLink& link) {
  Box box(designs, link);
  box.Run();
}

}  // namespace ledora::designer
