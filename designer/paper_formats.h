// Paper formats: the named paper sizes of R_Pformats, kept in a browse with
// an update form. The browse runs from the designer's menu on a thread of
// its own, and modally as the look-up of the report properties dialog,
// where it hands back the chosen format.
#pragma once

#include <cstdint>
#include <string_view>

#include "layout/design_database.h"
#include "layout/design_records.h"

namespace ledora::designer {

// The unit texts R_P:PAPERSCALE holds.
inline constexpr char kPaperScaleThousandths[] = "1/1000 inch";
inline constexpr char kPaperScaleMillimetres[] = "Milimeter";

// The design unit ('1' or 'M') a PAPERSCALE text stands for. Formats made by
// earlier versions hold "1" and "M"; those read as the same units.
char PaperScaleUnit(std::string_view scale);

enum PaperFormatMode { PaperFormatsBrowse, PaperFormatsSelect };

enum PaperFormatControls : int32_t {
  PaperSheet = 1,
  PaperOrderTab,
  PaperList,
  PaperNew,
  PaperChange,
  PaperDelete,
  PaperSelect,
  PaperClose,
  PaperHelp,
};

// Shows the formats; in select mode true with the chosen format in
// *chosen, false when the user closed the list without choosing.
bool BrowsePaperFormats(layout::DesignDatabase& designs, PaperFormatMode mode,
                        layout::PaperFormatRecord* chosen = nullptr);

// The designer's menu entry: the browse on a thread of its own.
void StartPaperFormats(layout::DesignDatabase& designs);

}  // namespace ledora::designer
