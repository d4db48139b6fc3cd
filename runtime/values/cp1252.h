// Conversion between the program's Windows-1252 text and UTF-8 at its edges:
// the Qt presenter and renderers, CSV files and PDF text. Inside, every
// string stays one byte per character so STRING(n) fields hold n characters.
#pragma once

#include <string>
#include <string_view>

namespace ledora::runtime {

// Every byte has a UTF-8 form; the five bytes the set leaves undefined map
// to the control characters of the same number, so any field round-trips.
std::string Cp1252ToUtf8(std::string_view text);

// False when the text is not valid UTF-8 or holds a character outside
// Windows-1252; out is then left unchanged, never filled with substitutes.
bool Utf8ToCp1252(std::string_view text, std::string* out);

}  // namespace ledora::runtime
