// The small value types of the report engine: units, band and control kinds,
// justification and fonts. The layout builder, the paginator and the
// renderers all speak in these.
#pragma once

#include <cstdint>
#include <string>

namespace ledora::runtime {

// Positions and sizes of a report are in its unit; page images are always in
// thousandths of an inch ("mils"). Scoped, as the window engine has units of
// the same names.
enum class ReportUnit : uint8_t { ThousandthsInch = 1, Millimetres = 2 };

enum ReportOrientation : uint8_t { OrientationPortrait = 0, OrientationLandscape = 1 };

enum BandKind : int16_t {
  BandPageForm = 4,  // behind everything on every page
  BandPageHeader = 5,
  BandPageFooter = 6,
  BandDetail = 7,
};

// Kinds 1 to 8 carry the design's control kind numbers, so a stored design
// maps straight onto them; a page number has no design kind of its own.
enum ReportControlKind : uint8_t {
  ReportImage = 1,
  ReportBox = 2,
  ReportLine = 3,
  ReportGroup = 4,
  ReportString = 5,
  ReportVariable = 6,  // text bound to a variable, shown through a picture
  ReportCheck = 7,
  ReportTextField = 8,  // multi-line text, may grow with its contents
  ReportPageNumber = 9,
  ReportPageCount = 10,  // "Page 2 of 3": the page number and its document's length
};

// The default keeps the kind's own alignment: right for numbers shown through
// a numeric picture, left for everything else. Scoped, as the window engine's
// list columns have justifications of the same names.
enum class ReportJustify : uint8_t { Default = 0, Left, Centre, Right };

// The window engine has colours and font bits of the same names; these live
// in a namespace of their own so that a unit that needs both engines (the
// report runner, the preview) can include both.
inline namespace report_values {

// Colours are 0x00BBGGRR; -1 means none (no fill, no border).
constexpr int32_t kNoColour = -1;

// A font style is a weight plus flag bits, as the designer stores it.
enum FontStyleBits : int32_t {
  FontWeightNormal = 400,
  FontWeightBold = 700,
  FontItalic = 0x1000,
  FontUnderline = 0x2000,
  FontWeightMask = 0x0FFF,
};

}  // namespace report_values

struct ReportFont {
  std::string name;   // blank = inherit
  int32_t style = 0;  // 0 = inherit
  int32_t size = 0;   // points; 0 = inherit
  int32_t color = 0;  // 0 = inherit (black when nothing is inherited)

  int32_t weight() const {
    return (style & report_values::FontWeightMask) == 0 ? 400
                                                        : style & report_values::FontWeightMask;
  }
  bool bold() const {
    return (style & report_values::FontWeightBold) == report_values::FontWeightBold;
  }
  bool italic() const { return (style & report_values::FontItalic) != 0; }
  bool underline() const { return (style & report_values::FontUnderline) != 0; }
  // Each unset part taken from base.
  ReportFont InheritFrom(const ReportFont& base) const;
  friend bool operator==(const ReportFont&, const ReportFont&) = default;
};

// The paper and the printable area of a page, in thousandths of an inch.
struct PageFrame {
  int32_t paperWidth = 0;
  int32_t paperHeight = 0;
  int32_t areaX = 0;
  int32_t areaY = 0;
  int32_t areaWidth = 0;
  int32_t areaHeight = 0;
};

// A length in the report unit as thousandths of an inch, rounded, and back.
int32_t ToMils(int32_t value, ReportUnit unit);
int32_t FromMils(int32_t mils, ReportUnit unit);

}  // namespace ledora::runtime
