// The designer's three property dialogs: report properties (paper, unit,
// orientation, detail area, report font), band properties (position and
// size rules, page breaks, widow and orphan control) and control
// properties, which is also the new-control dialog of Insert control. Each
// edits a copy and writes it back on OK with the design marked changed.
#pragma once

#include <cstdint>
#include <vector>

#include "designer/design_canvas.h"
#include "layout/design_database.h"
#include "layout/design_records.h"

namespace ledora::designer {

enum ReportPropertiesControls : int32_t {
  RepPaperGroup = 1,
  RepPaperTypePrompt,
  RepPaperType,
  RepPaperLookup,
  RepUnitPrompt,
  RepUnit,  // radios RepUnit + 1 (1/1000 inch) and + 2 (Millimeter)
  RepOrientPrompt = RepUnit + 3,
  RepOrientation,  // radios + 1 portrait, + 2 landscape
  RepWidthPrompt = RepOrientation + 3,
  RepWidth,
  RepHeightPrompt,
  RepHeight,
  RepAreaGroup,
  RepLeftPrompt,
  RepLeft,
  RepTopPrompt,
  RepTop,
  RepAreaWidthPrompt,
  RepAreaWidth,
  RepAreaHeightPrompt,
  RepAreaHeight,
  RepFont,
  RepOk,
  RepCancel,
  RepHelp,
};

// The paper, unit, orientation, detail area and report font of the
// canvas's design; true on OK.
bool ReportProperties(DesignCanvas& canvas, layout::DesignDatabase& designs);

enum BandPropertiesControls : int32_t {
  BandPositionGroup = 1,
  BandLeftPrompt,
  BandLeftChoice,  // radios + 1 default, + 2 fixed
  BandLeft = BandLeftChoice + 3,
  BandTopPrompt,
  BandTopChoice,
  BandTop = BandTopChoice + 3,
  BandWidthPrompt,
  BandWidthChoice,  // radios + 1 full, + 2 fixed
  BandWidth = BandWidthChoice + 3,
  BandHeightPrompt,
  BandHeightChoice,
  BandHeight = BandHeightChoice + 3,
  BandOptionsGroup,
  BandWidowOrphan,
  BandWithPriorPrompt,
  BandWithPrior,
  BandWithNextPrompt,
  BandWithNext,
  BandFixedOnPage,
  BandPageBefore,
  BandPageAfter,
  BandOk,
  BandCancel,
  BandHelp,
};

// The selected band's properties; true on OK.
bool BandProperties(DesignCanvas& canvas);

enum ControlPropertiesControls : int32_t {
  CtlSheet = 1,
  CtlPropertiesTab,
  CtlExtraTab,
  CtlPositionTab,
  CtlPropGroup,
  CtlKindPrompt,
  CtlKind,
  CtlFieldPrompt,
  CtlField,
  CtlTextPrompt,
  CtlText,
  CtlTextButton,
  CtlFieldPropGroup,
  CtlTransparent,
  CtlResize,
  CtlJustPrompt,
  CtlJustification,
  CtlBoxGroup,
  CtlBoxOptions,
  CtlRoundCorners,
  CtlColourGroup,
  CtlLineColourPrompt,
  CtlLineColour,
  CtlLineColourButton,
  CtlFillColourPrompt,
  CtlFillColour,
  CtlFillColourButton,
  CtlTranspInfo,
  CtlLeftPrompt,
  CtlLeft,
  CtlLeftNote,
  CtlTopPrompt,
  CtlTop,
  CtlTopNote,
  CtlWidthPrompt,
  CtlWidthChoice,  // radios + 1 default, + 2 fixed
  CtlWidth = CtlWidthChoice + 3,
  CtlHeightPrompt,
  CtlHeightChoice,
  CtlHeight = CtlHeightChoice + 3,
  CtlFont,
  CtlOk,
  CtlCancel,
  CtlHelp,
};

// The pseudo-field of the page number and its picture.
inline constexpr char kPageNumberField[] = "Pagenumber";
inline constexpr char kPageNumberPicture[] = "@pPage <<#p";

// Edits control; fields: the report type's fields offered in the field
// list after "Pagenumber". creating: the new-control dialog (a field's
// picture is then taken from the catalogue). True on OK.
bool ControlProperties(layout::ControlEntry& control,
                       const std::vector<layout::DataFieldRecord>& fields, bool creating);

// The catalogue fields a report type offers, in user-name order.
std::vector<layout::DataFieldRecord> ReportTypeFields(layout::DesignDatabase& designs,
                                                      int32_t typeNumber);

}  // namespace ledora::designer
