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
    {MenuReport, CmdUndo, nullptr, "&Undo\tCtrl+Z", true},
    {MenuReport, CmdRedo, nullptr, "&Redo\tCtrl+Y", false},
    {MenuReport, CmdSnap, nullptr, "Snap to &grid", false},
    {MenuReport, CmdCheckLayout, nullptr, "&Check layout", false},
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
    {CmdSave, "TipSave", "Save"},
    {CmdOpen, "TipOpenLayout", "Open"},
    {CmdNew, "TipNewLayout", "New"},
    {CmdExit, "TipExitDesigner", "Exit"},
    {CmdAlignLeft, "TipAlignLeft", "|<"},
    {CmdAlignRight, "TipAlignRight", ">|"},
    {CmdAlignTop, "TipAlignTop", "^"},
    {CmdAlignBottom, "TipAlignBottom", "v"},
    {CmdSameSize, "TipSameSize", "=S"},
    {CmdSameHeight, "TipSameHeight", "=H"},
    {CmdSameWidth, "TipSameWidth", "=W"},
    {CmdToolbox, "TipButtonPropertiesToolbox", "Box"},
    {CmdHelp, "TipButtonHelp", "?"},
    {CmdSaveAs, "TipButtonSaveAs", "As"},
    {CmdFormView, "TipFormView", "Form"},
    {CmdBandView, "TipBandView", "Band"},
    {CmdDelBand, "TipBandDelete", "-B"},
    {CmdInsBand, "TipBandNew", "+B"},
    {CmdControlProp, "TipControlProp", "CP"},
    {CmdReportProp, "TipReportProp", "RP"},
    {CmdBandProp, "TipBandProp", "BP"},
    {CmdDelControl, "TipControlDelete", "-C"},
    {CmdInsControl, "TipControlNew", "+C"},
};

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
std::span<const ToolbarButton> DesignerToolbar() { return kToolbar; }
std::span<const DesignerCommand> PopupForNothing() { return kPopupNothing; }
std::span<const DesignerCommand> PopupForBand() { return kPopupBand; }
std::span<const DesignerCommand> PopupForControl() { return kPopupControl; }

}  // namespace ledora::designer
