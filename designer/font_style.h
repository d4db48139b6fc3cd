// Font styles as designs store them: a weight (normal 400, bold 700) plus the
// flag bits italic 4096 and underline 8192. The properties box writes and
// reads them; a style of 0 counts as normal.
#pragma once

#include <cstdint>

namespace ledora::designer {

bool IsBold(int32_t style);
bool IsItalic(int32_t style);
bool IsUnderlined(int32_t style);
// none 400, bold 700, italic 4096, underline 8192, bold and italic 4796...
int16_t FontStyleOf(bool bold, bool italic, bool underline);

}  // namespace ledora::designer
