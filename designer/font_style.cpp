#include "designer/font_style.h"

namespace ledora::designer {

namespace {

constexpr int32_t kNormal = 400;
constexpr int32_t kBold = 700;
constexpr int32_t kItalic = 0x1000;
constexpr int32_t kUnderline = 0x2000;

}  // namespace

bool IsBold(int32_t style) {
  if (style == 0) style = kNormal;
  return (style & kBold) == kBold;
}
bool IsItalic(int32_t style) { return (style & kItalic) != 0; }
bool IsUnderlined(int32_t style) { return (style & kUnderline) != 0; }

int16_t FontStyleOf(bool bold, bool italic, bool underline) {
  // The flags replace the normal weight, so italic alone is 4096, not 4496.
  int32_t style = bold ? kBold : 0;
  if (italic) style |= kItalic;
  if (underline) style |= kUnderline;
  return static_cast<int16_t>(style == 0 ? kNormal : style);
}

}  // namespace ledora::designer
