// One control of a band of an open design: its kind, the field or text it
// shows, justification, colours and font. Band entries own their controls;
// the record stream loads and saves them, the designer edits them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "layout/control_geometry.h"

namespace ledora::layout {

enum ControlKind : uint8_t {
  KindImage = 1,
  KindBox = 2,
  KindLine = 3,
  KindGroup = 4,
  KindString = 5,
  KindField = 6,
  KindCheckBox = 7,
  KindTextField = 8,
};

// The window control type the designer shows a control kind with; a text
// for a kind it does not know.
inline int16_t ShownAs(uint8_t kind) {
  switch (kind) {
    case KindImage:
      return ShownAsImage;
    case KindBox:
      return ShownAsBox;
    case KindLine:
      return ShownAsLine;
    case KindGroup:
      return ShownAsGroup;
    case KindCheckBox:
      return ShownAsCheck;
    case KindTextField:
      return ShownAsMultiLine;
    default:
      return ShownAsText;
  }
}

// Fields the report engine fills in itself rather than a report procedure:
// the page number, and the page number with its document's page count.
inline constexpr char kPageNumberFieldName[] = "Pagenumber";
inline constexpr char kPageCountFieldName[] = "Pagecount";

struct ControlEntry {
  std::unique_ptr<ControlGeometry> CTRL = std::make_unique<ControlGeometry>();
  std::string USERFIELDNAME;  // at most 32
  std::string FIELDNAME;      // at most 32; see kPageNumberFieldName
  uint8_t CONTROLTYPE = KindString;
  char JUSTIFICATION = 'D';  // L, R, C, or D for the kind's own
  uint8_t RESIZABLE = 1;
  std::string PICTURE;  // at most 256: picture, text, caption or image file
  uint8_t TRANSPARENT = 1;
  int32_t LINECOLOR = 0;
  int32_t BOXCOLOR = 0xFF0000;
  uint8_t BOXROUND = 0;
  std::string FONTNAME;  // blank, zero: inherit the report's
  int16_t FONTSTYLE = 0;
  int16_t FONTSIZE = 0;
  int32_t FONTCOLOR = 0;
};

}  // namespace ledora::layout
