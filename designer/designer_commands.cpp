#include "designer/designer_commands.h"

namespace ledora::designer {

namespace {

constexpr MenuLine kMenuTree[] = {
    {0, CmdNone, "DesignerMenuFiles", "&File", false},
    {MenuFiles, CmdNew, "DesignerItemNewLayout", "", false},
    {MenuFiles, CmdOpen, "DesignerItemOpenLayout", "", false},
    {MenuFiles, CmdSaveAs, "DesignerItemSaveLayoutAs", "", false},
    {MenuFiles, CmdSave, "DesignerItemSaveLayout", "", false},
    {MenuFiles, CmdDelete, "DesignerItemDeleteLayout", "", false},
    {MenuFiles, CmdImport, "DesignerItemImportLayout", "", true},
    {MenuFiles, CmdExport, "DesignerItemExportLayout", "", false},
    {MenuFiles, CmdExit, "DesignerItemExitDesigner", "", true},
    {0, CmdNone, "DesignerMenuReport", "&Report", false},
    {MenuReport, CmdReportProp, "DesignerItemReportProp", "", false},
    {MenuReport, CmdScaleInch, "DesignerItemScaleInch", "", true},
    {MenuReport, CmdScaleMM, "DesignerItemScaleMM", "", false},
    {MenuReport, CmdBandView, "DesignerItemBandView", "", true},
    {MenuReport, CmdFormView, "DesignerItemFormView", "", false},
    {MenuReport, CmdPaperFormats, "DesignerItemPaperFormats", "", true},
    {MenuReport, CmdUndo, nullptr, "&Undo", true},
    {MenuReport, CmdRedo, nullptr, "&Redo", false},
    {MenuReport, CmdSnap, nullptr, "Snap to &grid", false},
    {MenuReport, CmdCheckLayout, nullptr, "&Check layout", false},
    {MenuReport, CmdPreview, nullptr, "&Preview", false},
    {0, CmdNone, "DesignerMenuBands", "&Bands", false},
    {MenuBands, CmdBandProp, "DesignerItemBandProp", "", false},
    {MenuBands, CmdInsBand, "DesignerItemInsBand", "", false},
    {MenuBands, CmdDelBand, "DesignerItemDelBand", "", false},
    {0, CmdNone, "DesignerMenuControls", "&Controls", false},
    {MenuControls, CmdControlProp, "DesignerItemControlProp", "", false},
    {MenuControls, CmdInsControl, "DesignerItemInsControl", "", false},
    {MenuControls, CmdDelControl, "DesignerItemDelControl", "", false},
    {MenuControls, CmdAlignTop, "DesignerItemAlignTop", "", true},
    {MenuControls, CmdAlignBottom, "DesignerItemAlignBottom", "", false},
    {MenuControls, CmdAlignLeft, "DesignerItemAlignLeft", "", false},
    {MenuControls, CmdAlignRight, "DesignerItemAlignRight", "", false},
    {MenuControls, CmdSameSize, "DesignerItemSameSize", "", true},
    {MenuControls, CmdSameHeight, "DesignerItemSameHeight", "", false},
    {MenuControls, CmdSameWidth, "DesignerItemSameWidth", "", false},
    {0, CmdNone, "DesignerMenuHelp", "&Help", false},
    {MenuHelpMenu, CmdHelpContents, "DesignerItemContents", "", false},
    {MenuHelpMenu, CmdHelpSearch, "DesignerItemSearchHelp", "", false},
    {MenuHelpMenu, CmdHelpUse, "DesignerItemUseHelp", "", false},
    {MenuHelpMenu, CmdAbout, nullptr, "About Report Designer", true},
};

constexpr ToolbarButton kToolbar[] = {
    {CmdSave, "TipSave"},
    {CmdOpen, "TipOpenLayout"},
    {CmdNew, "TipNewLayout"},
    {CmdExit, "TipExitDesigner"},
    {CmdAlignLeft, "TipAlignLeft"},
    {CmdAlignRight, "TipAlignRight"},
    {CmdAlignTop, "TipAlignTop"},
    {CmdAlignBottom, "TipAlignBottom"},
    {CmdSameSize, "TipSameSize"},
    {CmdSameHeight, "TipSameHeight"},
    {CmdSameWidth, "TipSameWidth"},
    {CmdToolbox, "TipButtonPropertiesToolbox"},
    {CmdHelp, "TipButtonHelp"},
    {CmdSaveAs, "TipButtonSaveAs"},
    {CmdFormView, "TipFormView"},
    {CmdBandView, "TipBandView"},
    {CmdDelBand, "TipBandDelete"},
    {CmdInsBand, "TipBandNew"},
    {CmdControlProp, "TipControlProp"},
    {CmdReportProp, "TipReportProp"},
    {CmdBandProp, "TipBandProp"},
    {CmdDelControl, "TipControlDelete"},
    {CmdInsControl, "TipControlNew"},
};

struct CommandLook {
  DesignerCommand command;
  const char* icon;
  const char* shortcut;
};

constexpr CommandLook kLooks[] = {
    {CmdNew, "~dnew.ico", "Ctrl+N"},
    {CmdOpen, "~dopen.ico", "Ctrl+O"},
    {CmdSaveAs, "~dsaveas.ico", ""},
    {CmdSave, "~dsave.ico", "Ctrl+S"},
    {CmdDelete, "~ddelete.ico", ""},
    {CmdImport, "~dimport.ico", ""},
    {CmdExport, "~dexport.ico", ""},
    {CmdExit, "~dexit.ico", ""},
    {CmdReportProp, "~dreportprop.ico", ""},
    {CmdBandView, "~dbandview.ico", ""},
    {CmdFormView, "~dformview.ico", ""},
    {CmdBandProp, "~dbandprop.ico", ""},
    {CmdInsBand, "~dbandnew.ico", ""},
    {CmdDelBand, "~dbanddelete.ico", ""},
    {CmdControlProp, "~dcontrolprop.ico", "Enter"},
    {CmdInsControl, "~dcontrolnew.ico", ""},
    {CmdDelControl, "~dcontroldelete.ico", "Del"},
    {CmdAlignTop, "~daligntop.ico", ""},
    {CmdAlignBottom, "~dalignbottom.ico", ""},
    {CmdAlignLeft, "~dalignleft.ico", ""},
    {CmdAlignRight, "~dalignright.ico", ""},
    {CmdSameSize, "~dsamesize.ico", ""},
    {CmdSameHeight, "~dsameheight.ico", ""},
    {CmdSameWidth, "~dsamewidth.ico", ""},
    {CmdHelpContents, "help.ico", "F1"},
    {CmdAbout, "~dabout.ico", ""},
    {CmdToolbox, "~dtoolbox.ico", ""},
    {CmdHelp, "help.ico", "F1"},
    {CmdUndo, "~dundo.ico", "Ctrl+Z"},
    {CmdRedo, "~dredo.ico", "Ctrl+Y"},
    {CmdPreview, "~dpreview.ico", "Ctrl+R"},
};

const CommandLook* LookOf(DesignerCommand command) {
  for (const CommandLook& look : kLooks) {
    if (look.command == command) return &look;
  }
  return nullptr;
}

constexpr DesignerCommand kPopupNothing[] = {
    CmdReportProp, CmdNone,     CmdScaleInch, CmdScaleMM, CmdNone,
    CmdBandView,   CmdFormView, CmdNone,      CmdInsBand,
};
constexpr DesignerCommand kPopupBand[] = {CmdBandProp, CmdInsBand, CmdDelBand, CmdNone,
                                          CmdInsControl};
constexpr DesignerCommand kPopupControl[] = {
    CmdControlProp, CmdInsControl, CmdDelControl, CmdNone,     CmdAlignTop,   CmdAlignBottom,
    CmdAlignLeft,   CmdAlignRight, CmdNone,       CmdSameSize, CmdSameHeight, CmdSameWidth,
};

}  // namespace

std::span<const MenuLine> DesignerMenuTree() { return kMenuTree; }

const char* CommandIcon(DesignerCommand command) {
  const CommandLook* look = LookOf(command);
  return look != nullptr ? look->icon : "";
}

const char* CommandShortcut(DesignerCommand command) {
  const CommandLook* look = LookOf(command);
  return look != nullptr ? look->shortcut : "";
}
std::span<const ToolbarButton> DesignerToolbar() { return kToolbar; }
std::span<const DesignerCommand> PopupForNothing() { return kPopupNothing; }
std::span<const DesignerCommand> PopupForBand() { return kPopupBand; }
std::span<const DesignerCommand> PopupForControl() { return kPopupControl; }

}  // namespace ledora::designer
