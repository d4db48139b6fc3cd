#include "designer/designer_window.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "designer/design_deletion.h"
#include "designer/designer_about.h"
#include "designer/designer_dialog.h"
#include "designer/designer_messages.h"
#include "designer/designer_text_table.h"
#include "designer/designer_tools.h"
#include "designer/export_designs.h"
#include "designer/font_style.h"
#include "designer/import_design.h"
#include "designer/open_design_dialog.h"
#include "designer/select_band.h"
#include "designer/select_report_type.h"
#include "designer/standard_warnings.h"
#include "designer/update_window.h"
#include "layout/clear_buffer.h"
#include "layout/design_codec.h"
#include "layout/record_stream.h"
#include "runtime/values/fixed_string.h"
#include "runtime/window/common_dialogs.h"
#include "runtime/window/help.h"
#include "runtime/window/popup_menu_text.h"
#include "runtime/window/window_registry.h"

namespace ledora::designer {

namespace {

using layout::R_D;
using layout::R_T;

constexpr layout::DesignTable kDesignerTables[] = {
    layout::R_Types,  layout::R_Bands,   layout::R_Fields,    layout::R_TypeFields,
    layout::R_Design, layout::R_Content, layout::R_StdDesign,
};

constexpr int32_t kAlertKeys[] = {
    runtime::KeyLeft,
    runtime::KeyRight,
    runtime::KeyUp,
    runtime::KeyDown,
    runtime::KeyCtrl + runtime::KeyLeft,
    runtime::KeyCtrl + runtime::KeyRight,
    runtime::KeyCtrl + runtime::KeyUp,
    runtime::KeyCtrl + runtime::KeyDown,
    runtime::KeyTab,
    runtime::KeyShift + runtime::KeyTab,
    runtime::KeyDelete,
    runtime::KeyEnter,
    runtime::KeyEscape,
    runtime::KeyCtrl + 'Z',
    runtime::KeyCtrl + 'Y',
    runtime::KeyCtrl + 'R',
    runtime::KeyCtrl + 'S',
    runtime::KeyCtrl + 'O',
    runtime::KeyCtrl + 'N',
};

}  // namespace

DesignerWindow::DesignerWindow(layout::DesignDatabase& designs, DesignerTools tools)
    : designs_(designs), tools_(std::move(tools)) {}

DesignerWindow::~DesignerWindow() {
  canvas_.reset();
  state_.reset();
  CloseFiles();
}

void DesignerWindow::Run(const std::string& typeName, const std::string& designName) {
  DesignerTexts().Load();
  designs_.BuildTableNames();
  if (!UpdateDefinitions()) {
    ShowDesignerMessage("MsgImportFailure", "MsgCapImportError");
    return;
  }
  if (!OpenFiles()) return;
  Build();
  window_.Open();
  if (!typeName.empty() && !designName.empty()) {
    layout::ClearBuffer(layout::R_Types);
    runtime::AssignPadded(R_T.TYPENAME, typeName);
    layout::ClearBuffer(layout::R_Design);
    if (designs_.File(layout::R_Types)->Fetch(layout::ReportTypeRecord::TYPENAMEKEY) == 0) {
      R_D.TYPENUMBER = R_T.TYPENUMBER;
      runtime::AssignPadded(R_D.DESIGNNAME, designName);
      if (designs_.File(layout::R_Design)->Fetch(layout::DesignRecord::TYPEKEY) == 0) {
        LoadDesign();
      }
    }
  }
  RefreshCommands();
  Loop();
  // The next Open starts on the type and design this window worked on last.
  if (typeNumber_ != 0) {
    layout::ClearBuffer(layout::R_Types);
    R_T.TYPENUMBER = typeNumber_;
    designs_.File(layout::R_Types)->Fetch(layout::ReportTypeRecord::TYPENUMBERKEY);
    layout::ClearBuffer(layout::R_Design);
    R_D.DESIGNNUMBER = designNumber_;
    R_D.TYPENUMBER = typeNumber_;
    runtime::AssignPadded(R_D.DESIGNNAME, designName_);
  }
  ClearLayout();
  CloseFiles();
}

// The update runs before any designer window uses the definition tables;
// while another one does, it waits for the next start.
bool DesignerWindow::UpdateDefinitions() {
  for (layout::DesignTable table :
       {layout::R_Types, layout::R_Bands, layout::R_Fields, layout::R_TypeFields}) {
    if (designs_.UseCount(table) > 0) return true;
  }
  return RunNewReportsUpdate(designs_) == layout::UpdateCompleted;
}

bool DesignerWindow::OpenFiles() {
  for (layout::DesignTable table : kDesignerTables) {
    if (!designs_.Use(table)) {
      CloseFiles();
      return false;
    }
    filesOpen_ = true;
  }
  return true;
}

void DesignerWindow::CloseFiles() {
  if (!filesOpen_) return;
  filesOpen_ = false;
  // Only the tables this window holds a use of.
  for (layout::DesignTable table : kDesignerTables) {
    if (designs_.UseCount(table) > 0) designs_.Release(table);
  }
}

void DesignerWindow::Build() {
  window_.SetTitle("Report Designer");
  window_.SetHelpTopic("designer");
  window_.SetMdiChild(true);
  window_.SetResizable(true);
  window_.SetScrollable(true);
  window_.SetUnit(runtime::UnitThousandths);
  window_.SetFont({"MS Sans Serif", 8, 0, runtime::kNoColour});
  window_.SetSize(9800, 7000);  // the paper and the band names beside it
  window_.SetIcon("Layout.ico");
  window_.SetHelpTopic(kDesignerHelpTopic);
  BuildMenus();
  BuildToolbar();
  window_.SetTrackMouse(0, true);
  window_.SetTimer(kAutosaveInterval);
  for (int32_t key : kAlertKeys) window_.AddAlert(key);
}

void DesignerWindow::BuildMenus() {
  int32_t menu = 0;
  for (const MenuLine& line : DesignerMenuTree()) {
    std::string text = line.key != nullptr ? DesignerText(line.key, line.text) : line.text;
    if (line.menu == 0) {
      window_.AddMenu(--menu, 0, text);
      continue;
    }
    if (line.separatorBefore) window_.AddMenuSeparator(line.menu);
    std::string shortcut = CommandShortcut(line.command);
    if (!shortcut.empty()) text += "\t" + shortcut;
    window_.AddMenuItem(MenuItemOf(line.command), line.menu, text);
    window_.SetIcon(MenuItemOf(line.command), CommandIcon(line.command));
  }
}

// A toolbar of its own, above the canvas, so it stays while the canvas scrolls.
void DesignerWindow::BuildToolbar() {
  int32_t number = kFirstToolbarButton;
  int32_t x = 40;
  for (const ToolbarButton& button : DesignerToolbar()) {
    AddButton(window_, number, {}, {x, 40, 330, 260}, DesignerText(button.tipKey));
    window_.SetIcon(number, CommandIcon(button.command));
    window_.SetOnToolbar(number++, true);
    x += 345;
  }
  AddPrompt(window_, kStepPrompt, DesignerText("ToolbartextsStep"), {x + 40, 100, 400, 160});
  window_.SetOnToolbar(kStepPrompt, true);
  AddEntry(window_, kStepBox, 6, {x + 440, 60, 600, 240});
  window_.SetPicture(kStepBox, "@n6");
  window_.SetOnToolbar(kStepBox, true);
}

// ---- Units

// The zoom scales what the window shows; the design keeps its own units.
int32_t DesignerWindow::ToDesign(int32_t value) const {
  int64_t unzoomed = static_cast<int64_t>(value) * 100 / zoom_;
  auto v = static_cast<int32_t>(unzoomed);
  return state_ != nullptr && state_->PAPERSCALE == 'M' ? layout::ConvertUnit(v, 'M') : v;
}

int32_t DesignerWindow::ToWindow(int32_t value) const {
  int32_t v =
      state_ != nullptr && state_->PAPERSCALE == 'M' ? layout::ConvertUnit(value, '1') : value;
  return static_cast<int32_t>(static_cast<int64_t>(v) * zoom_ / 100);
}

void DesignerWindow::Zoom(bool in) {
  int32_t zoom = in ? zoom_ * 5 / 4 : zoom_ * 4 / 5;
  zoom = std::clamp(zoom, kMinimumZoom, kMaximumZoom);
  if (zoom == zoom_) return;
  zoom_ = zoom;
  // The page is painted again at its new size.
  page_->Forget();
  Redraw();
}

void DesignerWindow::SetScale(char) {}

layout::DesignerFont DesignerWindow::WindowFont() const {
  const runtime::Font& font = window_.font();
  return {font.name, static_cast<int16_t>(font.style == 0 ? 400 : font.style),
          static_cast<int16_t>(font.size)};
}

// ---- Events

void DesignerWindow::Loop() {
  runtime::Event event;
  while (window_.Accept(&event)) {
    switch (event.number) {
      case runtime::EventAccepted:
        if (event.accepted == kStepBox) {
          if (state_ != nullptr) {
            state_->STEPSIZE = std::max(0, std::atoi(window_.GetText(kStepBox).c_str()));
          }
        } else if (event.accepted >= kFirstToolbarButton &&
                   event.accepted <
                       kFirstToolbarButton + static_cast<int32_t>(DesignerToolbar().size())) {
          Do(DesignerToolbar()[event.accepted - kFirstToolbarButton].command);
        } else {
          Do(CommandOfMenuItem(event.accepted));
        }
        break;
      case runtime::EventAlertKey:
        OnKey(event.keyCode);
        break;
      case runtime::EventMouseDown:
      case runtime::EventMouseMove:
      case runtime::EventMouseUp:
        OnMouse(event);
        break;
      case runtime::EventDrop:
        OnDrop(event);
        break;
      case runtime::EventMouseWheel:
        if (canvas_ != nullptr) Zoom((event.keyCode & ~runtime::KeyCtrl) == runtime::KeyUp);
        break;
      case runtime::EventTimer:
        Autosave();
        break;
      case runtime::EventCloseWindow:
      case runtime::EventCloseDown:
        if (!SavePrompt(true)) window_.ConsumeEvent();
        break;
      default:
        if (tools_.otherEvent) tools_.otherEvent(*this, event);
        break;
    }
  }
  if (tools_.closing) tools_.closing(*this);
}

void DesignerWindow::OnMouse(const runtime::Event& event) {
  if (canvas_ == nullptr) return;
  int32_t x = ToDesign(event.x - kCanvasLeft);
  int32_t y = ToDesign(event.y - kCanvasTop);
  int32_t button = event.keyCode & 0xFF;
  if (event.number == runtime::EventMouseDown && button == runtime::KeyMouseRight) {
    return RightClick();
  }
  int label = event.number == runtime::EventMouseDown && button == runtime::KeyMouseLeft &&
                      !state_->ISINSERTING && canvas_->tool() == ToolNone
                  ? BandLabelAt(event.x, event.y)
                  : 0;
  if (label != 0) {
    canvas_->Select({layout::SelectedBand, label, nullptr});
  } else if (event.number == runtime::EventMouseDown) {
    canvas_->MouseDown(x, y, event.keyCode);
  } else if (event.number == runtime::EventMouseMove) {
    canvas_->MouseMove(x, y);
  } else {
    canvas_->MouseUp(x, y);
  }
  window_.SetCursor(state_->ISINSERTING || canvas_->tool() != ToolNone ? runtime::CursorCross
                                                                       : runtime::CursorArrow);
  Redraw();
  if (event.number != runtime::EventMouseMove) RefreshCommands();
}

void DesignerWindow::OnKey(int32_t keyCode) {
  if (keyCode == runtime::KeyCtrl + 'N') return Do(CmdNew);
  if (keyCode == runtime::KeyCtrl + 'O') return Do(CmdOpen);
  if (canvas_ == nullptr) return;
  if (keyCode == runtime::KeyCtrl + 'S') return Do(CmdSave);
  if (keyCode == runtime::KeyCtrl + 'Z') return Do(CmdUndo);
  if (keyCode == runtime::KeyCtrl + 'Y') return Do(CmdRedo);
  if (keyCode == runtime::KeyCtrl + 'R') return Do(CmdPreview);
  canvas_->Key(keyCode);
  Redraw();
  RefreshCommands();
}

// A field dragged from a field list carries its name as the user knows it.
void DesignerWindow::OnDrop(const runtime::Event& event) {
  if (canvas_ == nullptr) return;
  bool found = false;
  layout::DataFieldRecord field{};
  ForEachRecord(
      designs_, layout::R_Fields, layout::DataFieldRecord::USERFIELDKEY, layout::R_F,
      [&](const layout::DataFieldRecord& f) {
        if (!found && runtime::ClippedField(f.USERFIELDNAME) == runtime::Clip(event.text)) {
          field = f;
          found = true;
        }
      });
  if (!found) return;
  canvas_->DropField(field, ToDesign(event.x - kCanvasLeft), ToDesign(event.y - kCanvasTop));
  Redraw();
  RefreshCommands();
}

void DesignerWindow::RightClick() {
  std::span<const DesignerCommand> commands =
      state_->SELECTEDCTRL == layout::SelectedControl ? PopupForControl()
      : state_->SELECTEDCTRL == layout::SelectedBand  ? PopupForBand()
                                                      : PopupForNothing();
  std::string menu;
  for (DesignerCommand command : commands) {
    if (!menu.empty()) menu += "|";
    if (command == CmdNone) {
      menu += "-";
      continue;
    }
    if (!IsEnabled(command)) menu += "~";
    for (const MenuLine& line : DesignerMenuTree()) {
      if (line.command == command) menu += DesignerText(line.key, line.text);
    }
  }
  int32_t choice = runtime::Popup(menu);
  std::vector<runtime::PopupEntry> entries = runtime::ParsePopupMenu(menu);
  for (size_t i = 0; i < entries.size() && i < commands.size(); ++i) {
    if (choice != 0 && entries[i].number == choice) Do(commands[i]);
  }
  RefreshCommands();
}

// ---- Commands

void DesignerWindow::Do(DesignerCommand command) {
  if (!IsEnabled(command)) return;
  switch (command) {
    case CmdNew:
      NewLayout();
      break;
    case CmdOpen:
      OpenLayout();
      break;
    case CmdSaveAs:
      SaveLayoutAs();
      break;
    case CmdSave:
      SaveLayout();
      break;
    case CmdDelete:
      DeleteLayout();
      break;
    case CmdImport:
      ImportDesign(designs_);
      break;
    case CmdExport:
      ExportDesigns(designs_);
      break;
    case CmdExit:
      window_.Post(runtime::EventCloseWindow);
      break;
    case CmdReportProp:
      PropertyDialog(tools_.reportProperties, "ReportProperties");
      break;
    case CmdBandProp:
      PropertyDialog(tools_.bandProperties, "BandProperties");
      break;
    case CmdControlProp:
      PropertyDialog(tools_.controlProperties, "ControlProperties");
      break;
    case CmdHelpContents:
    case CmdHelpSearch:
    case CmdHelpUse:
    case CmdHelp:
      runtime::ShowHelp(window_);
      break;
    case CmdAbout:
      StartDesignerAbout();
      break;
    case CmdPaperFormats:
      Tool(tools_.paperFormats, "BrowsePaperFormats");
      break;
    case CmdToolbox:
      Tool(tools_.propertiesBox ? [this] { tools_.propertiesBox(*this); } : std::function<void()>(),
           "PropertiesBox");
      break;
    case CmdScaleInch:
    case CmdScaleMM:
      canvas_->SetScale(command == CmdScaleMM ? 'M' : '1');
      break;
    case CmdBandView:
    case CmdFormView:
      canvas_->SetView(command == CmdFormView ? 'F' : 'B');
      break;
    case CmdInsBand:
      canvas_->InsertBand();
      break;
    case CmdDelBand:
      canvas_->DeleteBand();
      break;
    case CmdInsControl:
      canvas_->StartInsertControl();
      window_.SetCursor(runtime::CursorCross);
      break;
    case CmdDelControl:
      canvas_->DeleteControl();
      break;
    case CmdAlignTop:
    case CmdAlignBottom:
    case CmdAlignLeft:
    case CmdAlignRight:
      canvas_->Align(static_cast<DesignCanvas::AlignKind>(command - CmdAlignTop));
      break;
    case CmdSameSize:
    case CmdSameHeight:
    case CmdSameWidth:
      canvas_->Size(static_cast<DesignCanvas::SizeKind>(command - CmdSameSize));
      break;
    case CmdUndo:
      Restore(history_.Undo(layout::DesignRecords(*state_)));
      break;
    case CmdRedo:
      Restore(history_.Redo(layout::DesignRecords(*state_)));
      break;
    case CmdSnap:
      canvas_->snap = !canvas_->snap;
      break;
    case CmdCheckLayout:
      CheckLayout(true);
      break;
    case CmdPreview:
      Tool(preview_ ? [this] { Preview(); } : std::function<void()>(), "Preview");
      break;
    default:
      break;
  }
  if (canvas_ != nullptr) Redraw();
  RefreshCommands();
}

// The layout prints as the canvas shows it, from memory: an unsaved edit is
// never stored for it, so nothing is left behind if the run fails. The
// report's look-ups reuse the shared design buffers; the designer's next
// command finds them as they were.
void DesignerWindow::Preview() {
  layout::ReportTypeRecord type = R_T;
  layout::DesignRecord design = R_D;
  layout::ContentRecord content = layout::R_C;
  preview_(typeName_, layout::DesignRecords(*state_));
  R_T = type;
  R_D = design;
  layout::R_C = content;
}

// The frame's status line shows what its children say; alone (in tests, or
// without a frame) the window keeps it.
runtime::Window& DesignerWindow::StatusWindow() {
  runtime::Window* frame = runtime::WindowRegistry::Instance().Frame();
  return frame != nullptr && frame->IsOpen() ? *frame : window_;
}

// A dialog changes the design in place; what it changed is one step to undo.
void DesignerWindow::Undoable(const std::function<void()>& edit) {
  DesignHistory::Records before = layout::DesignRecords(*state_);
  edit();
  if (state_ == nullptr) return;
  DesignHistory::Records after = layout::DesignRecords(*state_);
  bool same =
      after.size() == before.size() &&
      std::equal(after.begin(), after.end(), before.begin(),
                 [](const auto& a, const auto& b) { return std::memcmp(&a, &b, sizeof a) == 0; });
  if (!same) history_.Record(std::move(before));
}

void DesignerWindow::PropertyDialog(const std::function<void(DesignCanvas&)>& dialog,
                                    const char* name) {
  Undoable([&] { Tool(dialog ? [&] { dialog(*canvas_); } : std::function<void()>(), name); });
}

void DesignerWindow::Tool(const std::function<void()>& tool, const char* name) {
  if (tool) {
    tool();
  } else {
    StandardWarning(WarnProcedureNotDefined, name);
  }
}

bool DesignerWindow::IsEnabled(DesignerCommand command) const {
  switch (command) {
    case CmdNew:
    case CmdOpen:
    case CmdImport:
    case CmdExport:
    case CmdExit:
    case CmdHelpContents:
    case CmdHelpSearch:
    case CmdHelpUse:
    case CmdHelp:
    case CmdAbout:
    case CmdToolbox:
      return true;
    case CmdNone:
    case kCommandCount:
      return false;
    default:
      break;
  }
  if (state_ == nullptr || canvas_ == nullptr) return false;
  const layout::DesignState& s = *state_;
  bool tagged = !s.TAGGEDCTRLS.empty();
  switch (command) {
    case CmdSave:
      return true;  // a layout never saved goes through Save as
    case CmdDelete:
      return saved_;
    case CmdScaleInch:
      return s.PAPERSCALE != '1';
    case CmdScaleMM:
      return s.PAPERSCALE != 'M';
    case CmdBandView:
      return s.CURRENTVIEW != 'B';
    case CmdFormView:
      return s.CURRENTVIEW != 'F';
    case CmdBandProp:
    case CmdDelBand:
      return s.SELECTEDCTRL == layout::SelectedBand;
    case CmdControlProp:
    case CmdDelControl:
      return s.SELECTEDCTRL == layout::SelectedControl;
    case CmdAlignTop:
    case CmdAlignBottom:
    case CmdAlignLeft:
    case CmdAlignRight:
    case CmdSameSize:
    case CmdSameHeight:
    case CmdSameWidth:
      return tagged;
    case CmdInsBand:
      return !canvas_->MissingBands().empty();
    case CmdUndo:
      return history_.CanUndo();
    case CmdRedo:
      return history_.CanRedo();
    default:
      return true;  // save as, report properties, paper formats, insert control, ...
  }
}

void DesignerWindow::SetCommandEnabled(DesignerCommand command, bool enabled) {
  window_.SetEnabled(MenuItemOf(command), enabled);
  int32_t number = kFirstToolbarButton;
  for (const ToolbarButton& button : DesignerToolbar()) {
    if (button.command == command) window_.SetEnabled(number, enabled);
    ++number;
  }
}

void DesignerWindow::RefreshCommands() {
  for (int32_t c = CmdNew; c < kCommandCount; ++c) {
    auto command = static_cast<DesignerCommand>(c);
    SetCommandEnabled(command, IsEnabled(command));
  }
  window_.SetEnabled(kStepBox, state_ != nullptr);
  std::string step = state_ != nullptr ? std::to_string(state_->STEPSIZE) : "";
  if (window_.GetText(kStepBox) != step) window_.SetText(kStepBox, step);
  RefreshTitle();
}

void DesignerWindow::RefreshTitle() {
  std::string title = "Report Designer";
  if (state_ != nullptr) {
    std::string design = saved_ ? designName_ : DesignerText("WinCaptionRDesignerNew");
    title += " (" + typeName_ + " / " + design + ")";
  }
  if (window_.title() != title) window_.SetTitle(title);
}

// ---- File flows

bool DesignerWindow::SavePrompt(bool closing) {
  if (state_ == nullptr || !state_->DESIGNCHANGED) return true;
  uint32_t answer =
      ShowDesignerMessage("MsgLayoutNotSaved", "MsgLayoutNotSavedCaption",
                          runtime::ButtonYes | runtime::ButtonNo | runtime::ButtonCancel,
                          runtime::ButtonYes, runtime::IconQuestion);
  if (answer == runtime::ButtonNo) {
    DropRecovery();
    return true;
  }
  if (answer != runtime::ButtonYes) return false;
  if (closing) closeAfterSave_ = true;
  bool done = SaveLayout();
  closeAfterSave_ = false;
  // New and Open end after the save; the user chooses them again.
  return closing && done;
}

void DesignerWindow::NewLayout() {
  if (!SavePrompt(false)) return;
  if (!SelectReportType(designs_)) return;
  typeNumber_ = R_T.TYPENUMBER;
  typeName_ = std::string(runtime::ClippedField(R_T.TYPENAME));
  designName_.clear();
  designNumber_ = 0;
  saved_ = false;
  MakeState();
  // An unset report style prints bold; a new layout names the font the
  // properties box shows for what a control leaves unset, so that is what prints.
  state_->FONTNAME = "Arial";
  state_->FONTSTYLE = FontStyleOf(false, false, false);
  state_->FONTSIZE = 10;
  OfferRecovery();
}

void DesignerWindow::OpenLayout() {
  if (!SavePrompt(false)) return;
  if (state_ != nullptr) {
    layout::ClearBuffer(layout::R_Types);
    R_T.TYPENUMBER = typeNumber_;
    designs_.File(layout::R_Types)->Fetch(layout::ReportTypeRecord::TYPENUMBERKEY);
  }
  if (!OpenDesignDialog(designs_, OpenDesignOpen)) return;
  LoadDesign();
}

// The type in R_T and the design in R_D.
bool DesignerWindow::LoadDesign() {
  typeNumber_ = R_T.TYPENUMBER;
  typeName_ = std::string(runtime::ClippedField(R_T.TYPENAME));
  designNumber_ = R_D.DESIGNNUMBER;
  designName_ = std::string(runtime::ClippedField(R_D.DESIGNNAME));
  MakeState();
  layout::RecordStream stream(designs_, StreamTextsFromTable());
  R_D.DESIGNNUMBER = designNumber_;
  int32_t code = stream.Load(*state_);
  saved_ = true;
  canvas_->Arrange();
  Redraw();
  OfferRecovery();
  return code == 0;
}

// ---- Recovery after a crash

DesignRecovery DesignerWindow::Recovery() const {
  std::string folder = std::filesystem::path(designs_.DesignsFile).parent_path().string();
  return DesignRecovery(folder, typeNumber_, saved_ ? designNumber_ : 0);
}

void DesignerWindow::Autosave() {
  if (state_ == nullptr || !state_->DESIGNCHANGED) return;
  DesignRecovery recovery = Recovery();
  if (recovery.Write(layout::DesignRecords(*state_))) recovery_ = recovery.path();
}

void DesignerWindow::DropRecovery() {
  std::error_code ignored;
  if (!recovery_.empty()) std::filesystem::remove(recovery_, ignored);
  recovery_.clear();
}

void DesignerWindow::OfferRecovery() {
  DesignRecovery recovery = Recovery();
  std::vector<layout::ContentRecord> records;
  if (!recovery.Exists()) return;
  if (!recovery.Read(&records)) {
    recovery.Remove();
    return;
  }
  uint32_t answer = ShowDesignerBox(
      "The changes to this layout that were not saved when the designer ended were kept.  "
      "Do you want to recover them?",
      "Recover layout", runtime::ButtonYes | runtime::ButtonNo, runtime::ButtonYes,
      runtime::IconQuestion);
  if (answer != runtime::ButtonYes) {
    recovery.Remove();
    return;
  }
  recovery_ = recovery.path();
  Restore(std::move(records));
}

void DesignerWindow::MakeState() {
  ClearLayout();
  bands_.clear();
  layout::DesignState::ReadTypeBands(designs_, typeNumber_, &bands_);
  state_ = std::make_unique<layout::DesignState>(this, bands_);
  MakeCanvas();
}

void DesignerWindow::MakeCanvas() {
  CanvasHooks hooks;
  hooks.selectBand = [](const std::string& names) { return SelectBand(names); };
  hooks.properties = [this](uint8_t selected) {
    Do(selected == layout::SelectedControl ? CmdControlProp
       : selected == layout::SelectedBand  ? CmdBandProp
                                           : CmdReportProp);
  };
  hooks.newControl = [this](layout::ControlEntry& control, int band) {
    return tools_.newControl ? tools_.newControl(*canvas_, control, band)
                             : InsertField(control, band);
  };
  hooks.status = [this](const std::string& text) { StatusWindow().SetStatusText(text); };
  hooks.selectionChanged = [this] {
    if (tools_.selectionChanged && canvas_ != nullptr) tools_.selectionChanged(*canvas_);
  };
  hooks.toolPlaced = [this] {
    if (tools_.toolPlaced && canvas_ != nullptr) tools_.toolPlaced(*canvas_);
  };
  hooks.edited = [this] { history_.Record(layout::DesignRecords(*state_)); };
  hooks.editCancelled = [this] { history_.Drop(); };
  bool snap = canvas_ != nullptr && canvas_->snap;
  canvas_ = std::make_unique<DesignCanvas>(*state_, std::move(hooks));
  canvas_->snap = snap;
  Redraw();
}

namespace {

// Where a control sits: its band and its place in the band's list, which a
// design rebuilt from its records keeps.
struct Spot {
  int band = 0;
  size_t index = 0;
};

Spot SpotOf(const layout::DesignState& state, const layout::ControlGeometry* geometry) {
  for (size_t b = 0; b < state.BANDS.size(); ++b) {
    const auto& controls = state.BANDS[b]->BANDCONTROLS;
    for (size_t i = 0; i < controls.size(); ++i) {
      if (controls[i]->CTRL.get() == geometry) return {static_cast<int>(b + 1), i};
    }
  }
  return {};
}

layout::ControlEntry* ControlAt(layout::DesignState& state, Spot spot) {
  layout::BandEntry* band = state.Band(spot.band);
  if (band == nullptr || spot.index >= band->BANDCONTROLS.size()) return nullptr;
  return band->BANDCONTROLS[spot.index].get();
}

}  // namespace

// The design rebuilt from its records, as undo and redo give them back,
// with the selection and the tags where they were.
void DesignerWindow::Restore(DesignHistory::Records records) {
  char view = state_->CURRENTVIEW;
  bool snap = canvas_->snap;
  uint8_t selected = state_->SELECTEDCTRL;
  int band = state_->CURRENTBAND;
  Spot spot = SpotOf(*state_, state_->SELECTEDTAG->CTRL);
  std::vector<Spot> tags;
  for (const auto& tag : state_->TAGGEDCTRLS) tags.push_back(SpotOf(*state_, tag->CTRL));
  ClearCanvas();
  state_ = std::make_unique<layout::DesignState>(this, bands_);
  layout::LoadRecords(*state_, records);
  state_->CURRENTVIEW = view;
  state_->DESIGNCHANGED = 1;
  MakeCanvas();
  canvas_->snap = snap;
  layout::BandEntry* entry = state_->Band(band);
  if (selected == layout::SelectedControl && ControlAt(*state_, spot) != nullptr) {
    canvas_->Select({selected, spot.band, ControlAt(*state_, spot)});
    for (Spot tag : tags) {
      if (layout::ControlEntry* c = ControlAt(*state_, tag)) {
        auto t = std::make_unique<layout::SelectionTag>();
        t->CTRL = c->CTRL.get();
        state_->TAGGEDCTRLS.push_back(std::move(t));
      }
    }
  } else if (selected == layout::SelectedBand && entry != nullptr && entry->PRESENT) {
    canvas_->Select({selected, band, nullptr});
  } else if (selected == layout::SelectedDetailArea) {
    canvas_->Select({selected, 0, nullptr});
  }
  Redraw();
}

bool DesignerWindow::SaveLayout() {
  if (state_ == nullptr) return false;
  if (!saved_) return SaveLayoutAs();
  CheckLayout(false);
  layout::ClearBuffer(layout::R_Design);
  R_D.DESIGNNUMBER = designNumber_;
  R_D.TYPENUMBER = typeNumber_;
  runtime::AssignPadded(R_D.DESIGNNAME, designName_);
  layout::RecordStream stream(designs_, StreamTextsFromTable());
  int32_t code = stream.Save(*state_);
  if (code != 0) {
    state_->DESIGNCHANGED = 1;
    ShowDesignerBox(DesignerText("SODMsgErrorAddText") + "|" + DesignerText("TextError") + " " +
                        std::to_string(code),
                    DesignerText("SODMsgErrorAddCapt"));
    return false;
  }
  DropRecovery();
  if (closeAfterSave_) window_.Post(runtime::EventCloseWindow);
  return true;
}

bool DesignerWindow::SaveLayoutAs() {
  if (state_ == nullptr) return false;
  layout::ClearBuffer(layout::R_Types);
  R_T.TYPENUMBER = typeNumber_;
  designs_.File(layout::R_Types)->Fetch(layout::ReportTypeRecord::TYPENUMBERKEY);
  layout::ClearBuffer(layout::R_Design);
  runtime::AssignPadded(R_D.DESIGNNAME, designName_);
  if (!OpenDesignDialog(designs_, OpenDesignSaveAs, typeNumber_)) return false;
  designNumber_ = R_D.DESIGNNUMBER;
  designName_ = std::string(runtime::ClippedField(R_D.DESIGNNAME));
  saved_ = true;
  bool closing = closeAfterSave_;
  closeAfterSave_ = false;
  bool done = SaveLayout();
  closeAfterSave_ = closing;
  if (done && closing) window_.Post(runtime::EventCloseWindow);
  return done;
}

void DesignerWindow::DeleteLayout() {
  uint32_t answer = ShowDesignerMessage("MsgLayoutDelete", "MsgLayoutDeleteCaption",
                                        runtime::ButtonYes | runtime::ButtonNo, runtime::ButtonYes,
                                        runtime::IconQuestion);
  if (answer != runtime::ButtonYes) return;
  ClearLayout();
  DropRecovery();
  DeletionResult result = DeleteDesign(designs_, typeNumber_, designNumber_);
  if (result.code != 0) ShowDeletionError(result);
  saved_ = false;
  designNumber_ = 0;
}

void DesignerWindow::ClearLayout() {
  ClearCanvas();
  history_.Clear();
}

void DesignerWindow::ClearCanvas() {
  canvas_.reset();
  state_.reset();
  for (int32_t number : created_) window_.DestroyControl(number);
  created_.clear();
  handleControls_ = 0;
  rulerMarks_ = {};
  page_->Forget();
}

// Until the control properties dialog exists, Insert control offers the
// report type's fields that the band takes, and places the chosen one as
// a field dropped there would be.
bool DesignerWindow::InsertField(layout::ControlEntry& control, int band) {
  std::vector<layout::DataFieldRecord> fields;
  std::vector<int32_t> offered;
  int32_t type = typeNumber_;
  ForEachRecord(designs_, layout::R_TypeFields, layout::TypeFieldRecord::TYPEKEY, layout::R_O,
                [&](const layout::TypeFieldRecord& o) {
                  if (o.TYPENUMBER == type) offered.push_back(o.FIELDNUMBER);
                });
  layout::BandEntry& entry = *state_->BANDS[band - 1];
  uint8_t mask = entry.BANDTYPE == layout::BandPageForm     ? 1
                 : entry.BANDTYPE == layout::BandPageHeader ? 2
                 : entry.BANDTYPE == layout::BandPageFooter ? 4
                                                            : 8 | 16;
  ForEachRecord(designs_, layout::R_Fields, layout::DataFieldRecord::USERFIELDKEY, layout::R_F,
                [&](const layout::DataFieldRecord& f) {
                  if ((f.BAND & mask) &&
                      std::find(offered.begin(), offered.end(), f.FIELDNUMBER) != offered.end()) {
                    fields.push_back(f);
                  }
                });
  std::string names;
  for (const auto& f : fields) {
    names += (names.empty() ? "" : "|") + std::string(runtime::ClippedField(f.USERFIELDNAME));
  }
  if (names.empty()) return false;
  std::string chosen =
      PickFromList(DesignerText("DesignerItemInsControl"), names, DesignerText("TextsField"));
  for (const auto& f : fields) {
    if (runtime::ClippedField(f.USERFIELDNAME) == chosen) {
      MakeFieldControl(f, control);
      return true;
    }
  }
  return false;
}

// Controls whose field the report type does not offer print empty; the
// list is shown on demand and before every save.
std::string DesignerWindow::UnofferedFields() {
  std::vector<std::string> offered;
  int32_t type = typeNumber_;
  std::vector<int32_t> numbers;
  ForEachRecord(designs_, layout::R_TypeFields, layout::TypeFieldRecord::TYPEKEY, layout::R_O,
                [&](const layout::TypeFieldRecord& o) {
                  if (o.TYPENUMBER == type) numbers.push_back(o.FIELDNUMBER);
                });
  ForEachRecord(designs_, layout::R_Fields, layout::DataFieldRecord::FIELDNUMBERKEY, layout::R_F,
                [&](const layout::DataFieldRecord& f) {
                  if (std::find(numbers.begin(), numbers.end(), f.FIELDNUMBER) != numbers.end()) {
                    offered.emplace_back(runtime::ClippedField(f.FIELDNAME));
                  }
                });
  std::string lines;
  for (const std::string& missing : UnknownFields(*state_, offered)) lines += "|" + missing;
  return lines;
}

void DesignerWindow::CheckLayout(bool always) {
  std::string lines = UnofferedFields();
  if (!lines.empty()) {
    ShowDesignerBox(
        "The report type does not offer these fields; the report leaves them empty:" + lines,
        "Check layout");
  } else if (always) {
    ShowDesignerBox("Every field of this layout is offered by its report type.", "Check layout",
                    runtime::ButtonOk, runtime::ButtonOk, runtime::IconAsterisk);
  }
}

// ---- The procedure

void ReportDesigner() { ReportDesigner({}); }

void ReportDesigner(LayoutPreview preview, runtime::FontMetrics* metrics) {
  layout::DesignDatabase* designs = layout::Designs();
  if (designs == nullptr) return;
  DesignerWindow designer(*designs, MakeDesignerTools(*designs));
  designer.SetPreview(std::move(preview));
  designer.SetFontMetrics(metrics);
  designer.Run();
}

}  // namespace ledora::designer
