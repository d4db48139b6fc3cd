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
constexpr int32_t kMinimumWidth = 105;
constexpr int32_t kStrip = 5;  // the sizing strips' thickness
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

// A toggle's picture and the key of its text, from the box's section or
// the designer's.
struct Toggle {
  const char* icon;
  const char* boxKey;
  const char* designerKey;
};

class Box {
 public:
  Box(layout::DesignDatabase& designs, PropertiesLink& link) : designs_(designs), link_(link) {}
  void Run();

 private:
  void Build();
  void AddToggle(int32_t number, runtime::ControlType type, int32_t parent, const Toggle& toggle,
                 const runtime::Rect& rect);
  void Place();
  void LoadFields();
  void Refresh();
  void Apply();
  void Roll();
  void Store();
  void SetHeight(int32_t height);
  template <typename T>
  void ShowChoices(int32_t list, std::vector<T>* shown, std::vector<T> choices, const T& chosen);
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
  std::vector<std::string> families_;  // installed
  std::vector<std::string> shownFamilies_;
  std::vector<int32_t> shownSizes_;
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
  // The title row and the strips are pressed inside but dragged beyond
  // them: the pointer may leave them faster than the box follows.
  window_.SetTrackMouse(0, true);
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
  std::sort(families_.begin(), families_.end());
  ShowRows(window_, BoxFontName, families_);
  shownFamilies_ = families_;
  window_.CreateControl(BoxFontSize, runtime::ControlDropList);
  window_.SetRect(BoxFontSize, {2, 26, 28, 12});
  window_.SetTip(BoxFontSize, BoxCaptionText("FontSizeListboxTooltip"));
  std::vector<std::string> sizes;
  for (int32_t size : kSizes) sizes.push_back(std::to_string(size));
  ShowRows(window_, BoxFontSize, sizes);
  shownSizes_.assign(kSizes.begin(), kSizes.end());
  // Toggle buttons with the pictures users know from word processors;
  // each tip and text says what it does.
  const std::array<Toggle, 4> styles = {{{"~dbold.ico", "BoldButtonTooltip", nullptr},
                                         {"~ditalic.ico", "ItalicButtonTooltip", nullptr},
                                         {"~dunderline.ico", "UnderlineButtonTooltip", nullptr},
                                         {"~dcolour.ico", "FontColorButtonTooltip", nullptr}}};
  for (int i = 0; i < 3; ++i) {
    AddToggle(BoxBold + i, runtime::ControlCheck, 0, styles[i], {32 + 15 * i, 26, 14, 12});
  }
  AddButton(window_, BoxColour, {}, {78, 26, 25, 12}, BoxCaptionText("FontColorButtonTooltip"));
  window_.SetIcon(BoxColour, styles[3].icon);

  window_.CreateControl(BoxJustification, runtime::ControlOption);
  window_.SetRect(BoxJustification, {2, 40, 44, 12});
  const std::array<Toggle, 4> justs = {{{"~djustleft.ico", "LeftAlignButtonTooltip", nullptr},
                                        {"~djustcenter.ico", "CenterAlignButtonTooltip", nullptr},
                                        {"~djustright.ico", "RightAlignButtonTooltip", nullptr},
                                        {"~djustdefault.ico", nullptr, "JustDefault"}}};
  for (int i = 0; i < 4; ++i) {
    AddToggle(BoxJustification + 1 + i, runtime::ControlRadio, BoxJustification, justs[i],
              {2 + 11 * i, 40, 11, 12});
  }
  window_.CreateControl(BoxTools, runtime::ControlOption);
  window_.SetRect(BoxTools, {48, 40, 55, 12});
  const std::array<Toggle, 5> tools = {{{"~darrow.ico", nullptr, "TipButtonCancel"},
                                        {"~dbox.ico", nullptr, "ControlTypeBox"},
                                        {"~dline.ico", nullptr, "ControlTypeLine"},
                                        {"~dimage.ico", nullptr, "ControlTypeImage"},
                                        {"~dstring.ico", nullptr, "ControlTypeString"}}};
  for (int i = 0; i < 5; ++i) {
    AddToggle(BoxTools + 1 + i, runtime::ControlRadio, BoxTools, tools[i],
              {48 + 11 * i, 40, 11, 12});
  }
  AddEntry(window_, BoxText, 255, {2, 54, 86, 12});
  AddButton(window_, BoxMore, "...", {89, 54, 14, 12});

  window_.CreateControl(BoxFields, runtime::ControlList);
  window_.SetListFormat(
      BoxFields, "70L(2)|M~" + BoxCaptionText("FieldListboxHeaderText") + "~@s32@20R(2)|M~Nr~@n5@");
  window_.SetVScroll(BoxFields, true);
  window_.SetDragId(BoxFields, kFieldListDrag);
  window_.CreateControl(BoxSizer, runtime::ControlRegion);
  window_.SetTrackMouse(BoxSizer, true);
  window_.CreateControl(BoxWidthSizer, runtime::ControlRegion);
  window_.SetTrackMouse(BoxWidthSizer, true);
}

void Box::AddToggle(int32_t number, runtime::ControlType type, int32_t parent, const Toggle& toggle,
                    const runtime::Rect& rect) {
  window_.CreateControl(number, type, parent);
  std::string tip =
      toggle.boxKey != nullptr ? BoxCaptionText(toggle.boxKey) : DesignerText(toggle.designerKey);
  window_.SetText(number, tip);
  window_.SetTip(number, tip);
  window_.SetIcon(number, toggle.icon);
  window_.SetRect(number, rect);
}

// Place and rolled state from the INI file; the field list and the sizing
// strip follow the height.
void Box::Place() {
  // The first time it opens beside the designer, over none of its menus;
  // afterwards where the user left it.
  if (runtime::ReadIniValue(kDesignerIniFile, kPropertiesBoxSection, "WindowXposition")) {
    window_.SetPosition(IniNumber("WindowXposition", 1), IniNumber("WindowYposition", 1));
  } else {
    window_.SetPlaceBeside(link_.designer);
  }
  int32_t width = std::max(kMinimumWidth, IniNumber("WindowWidth", kMinimumWidth));
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
  window_.SetRect(BoxTitleRow, {0, 0, width, kTitleHeight});
  window_.SetRect(BoxCaption, {2, 1, width - 29, 8});
  window_.SetRect(BoxRoll, {width - 25, 0, 11, kTitleHeight});
  window_.SetRect(BoxClose, {width - 13, 0, 11, kTitleHeight});
  if (!rolledDown_) return;
  window_.SetRect(BoxFontName, {2, 12, width - 4, 12});
  window_.SetRect(BoxFields, {2, 70, width - 4, std::max(0, height - kListGap)});
  window_.SetRect(BoxSizer, {0, height - kStrip, width - kStrip, kStrip});
  window_.SetRect(BoxWidthSizer, {width - kStrip, kTitleHeight, kStrip, height - kTitleHeight});
}

template <typename T>
void Box::ShowChoices(int32_t list, std::vector<T>* shown, std::vector<T> choices,
                      const T& chosen) {
  if (choices != *shown) {
    std::vector<std::string> rows;
    for (const T& choice : choices) {
      if constexpr (std::is_same_v<T, std::string>) {
        rows.push_back(choice);
      } else {
        rows.push_back(std::to_string(choice));
      }
    }
    ShowRows(window_, list, rows);
    *shown = std::move(choices);
  }
  auto at = std::find(shown->begin(), shown->end(), chosen);
  window_.SetSelection(list, static_cast<int32_t>(at - shown->begin()) + 1);
  if constexpr (std::is_same_v<T, std::string>) {
    window_.SetText(list, chosen);
  } else {
    window_.SetText(list, std::to_string(chosen));
  }
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
    // A family or size the lists lack (a font of another machine, 13
    // points) joins them, so the control's own shows and is kept.
    std::vector<std::string> families = families_;
    if (std::find(families.begin(), families.end(), name) == families.end()) {
      families.insert(std::lower_bound(families.begin(), families.end(), name), name);
    }
    int32_t size = control->FONTSIZE == 0 ? 10 : control->FONTSIZE;
    std::vector<int32_t> sizes(kSizes.begin(), kSizes.end());
    if (std::find(sizes.begin(), sizes.end(), size) == sizes.end()) {
      sizes.insert(std::lower_bound(sizes.begin(), sizes.end(), size), size);
    }
    ShowChoices(BoxFontName, &shownFamilies_, families, name);
    ShowChoices(BoxFontSize, &shownSizes_, sizes, size);
    colour_ = control->FONTCOLOR;
    const bool flags[3] = {IsBold(control->FONTSTYLE), IsItalic(control->FONTSTYLE),
                           IsUnderlined(control->FONTSTYLE)};
    for (int i = 0; i < 3; ++i) {
      window_.Find(BoxBold + i)->checked = flags[i];
      window_.Changed(BoxBold + i);
    }
    const char* codes = "LCRD";
    for (int i = 0; i < 4; ++i) {
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
  link_.fontName = row >= 1 && row <= static_cast<int32_t>(shownFamilies_.size())
                       ? shownFamilies_[row - 1].substr(0, 40)
                       : window_.GetText(BoxFontName).substr(0, 40);
  int32_t sizeRow = window_.GetSelection(BoxFontSize);
  link_.fontSize = static_cast<int16_t>(
      sizeRow >= 1 && sizeRow <= static_cast<int32_t>(shownSizes_.size()) ? shownSizes_[sizeRow - 1]
                                                                          : 10);
  link_.fontColour = colour_;
  link_.fontStyle = FontStyleOf(window_.Find(BoxBold)->checked, window_.Find(BoxItalic)->checked,
                                window_.Find(BoxUnderline)->checked);
  link_.justification = 0;
  // Left, centre, right as the shared code counts them (1, 2, 3), then the
  // report's default (4).
  for (uint8_t i = 0; i < 4; ++i) {
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
    int32_t height = event.y;
    if (height > kMinimumHeight) SetHeight(height);
  } else if (dragging_ == BoxWidthSizer && rolledDown_) {
    int32_t width = std::max(kMinimumWidth, event.x);
    window_.SetSize(width, window_.geometry().height);
    SetHeight(window_.geometry().height);
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
      if (runtime::AskColour(&colour_, BoxCaptionText("FontColourDialogHeader"))) Apply();
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
