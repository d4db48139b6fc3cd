// One control on a band of a report. Created and removed at run time by
// number through Report; callers set the fields directly.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/report/report_types.h"
#include "runtime/values/field_ref.h"

namespace ledora::runtime {

struct ReportControl {
  int32_t number = 0;
  ReportControlKind kind = ReportString;
  int32_t band = 0;  // number of the band that holds it
  // Relative to the band, in the report unit. A negative width or height
  // means the natural size (text: its measured extent; a line: none).
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = -1;
  int32_t height = -1;
  bool visible = true;

  std::string text;     // constant text or caption; what an unbound variable shows
  std::string picture;  // display picture of a variable, page number or check box
  std::string imageFile;
  FieldRef field{FieldLong, nullptr, 0, 0};  // the bound variable; null address = unbound

  ReportFont font;  // unset parts come from the report font
  ReportJustify justify = ReportJustify::Default;
  bool transparent = false;  // otherwise text is drawn on white
  int32_t lineColor = 0;     // line, box border, group frame
  int32_t fillColor = report_values::kNoColour;
  bool rounded = false;
  bool grows = false;  // text field: height follows its lines

  bool bound() const { return field.address != nullptr; }
};

}  // namespace ledora::runtime
