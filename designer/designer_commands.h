// The designer window's commands: the menu tree, the toolbar's buttons and
// the right-click menus, each naming the command it runs, with the texts'
// keys in the designer text table.
#pragma once

#include <cstdint>
#include <span>

namespace ledora::designer {

enum DesignerCommand : int32_t {
  CmdNone = 0,
  CmdNew,
  CmdOpen,
  CmdSaveAs,
  CmdSave,
  CmdDelete,
  CmdImport,
  CmdExport,
  CmdExit,
  CmdReportProp,
  CmdScaleInch,
  CmdScaleMM,
  CmdBandView,
  CmdFormView,
  CmdPaperFormats,
  CmdBandProp,
  CmdInsBand,
  CmdDelBand,
  CmdControlProp,
  CmdInsControl,
  CmdDelControl,
  CmdAlignTop,
  CmdAlignBottom,
  CmdAlignLeft,
  CmdAlignRight,
  CmdSameSize,
  CmdSameHeight,
  CmdSameWidth,
  CmdHelpContents,
  CmdHelpSearch,
  CmdHelpUse,
  CmdAbout,
  CmdToolbox,
  CmdHelp,
  // Beyond the designer's own set.
  CmdUndo,
  CmdRedo,
  CmdSnap,
  CmdCheckLayout,
  CmdPreview,
  kCommandCount,
};

// Menu numbers of the window; a command's menu item is MenuItemOf(command).
enum DesignerMenu : int32_t {
  MenuFiles = -1,
  MenuReport = -2,
  MenuBands = -3,
  MenuControls = -4,
  MenuHelpMenu = -5,
};
constexpr int32_t MenuItemOf(DesignerCommand command) { return -100 - command; }
constexpr DesignerCommand CommandOfMenuItem(int32_t control) {
  return control <= -100 && control > -100 - kCommandCount
             ? static_cast<DesignerCommand>(-100 - control)
             : CmdNone;
}

struct MenuLine {
  int32_t menu;  // 0: a menu of the bar
  DesignerCommand command;
  const char* key;   // text key; nullptr: the literal text
  const char* text;  // the literal text, or the text for a key the table lacks
  bool separatorBefore;
};
std::span<const MenuLine> DesignerMenuTree();

// Toolbar buttons, left to right: control numbers from 1; then the step
// prompt and the step box.
struct ToolbarButton {
  DesignerCommand command;
  const char* tipKey;
};
std::span<const ToolbarButton> DesignerToolbar();
constexpr int32_t kFirstToolbarButton = 1;
constexpr int32_t kStepPrompt = 40;
constexpr int32_t kStepBox = 41;

// The icon a command shows on its button and menu item ("" none), and the
// key that runs it ("" none), as the menu shows it.
const char* CommandIcon(DesignerCommand command);
const char* CommandShortcut(DesignerCommand command);

// The right-click menus by selection; CmdNone stands for a separator.
std::span<const DesignerCommand> PopupForNothing();
std::span<const DesignerCommand> PopupForBand();
std::span<const DesignerCommand> PopupForControl();

}  // namespace ledora::designer
