// Helpers for STRING(n) values: fixed-width, blank-padded Windows-1252 text
// that compares and joins with its trailing blanks removed. Record fields,
// field pairs, expressions and key comparisons use them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ledora::runtime {

// The text without trailing blanks.
std::string_view Clip(std::string_view text);
// The text without leading and trailing blanks, as a user's typed value is read.
std::string_view TrimBlanks(std::string_view text);

// Copies text into a field of size bytes: cut when longer, blank-padded
// when shorter. A null field or zero size does nothing.
void AssignPadded(char* field, size_t size, std::string_view text);
template <size_t N>
void AssignPadded(char (&field)[N], std::string_view text) {
  AssignPadded(field, N, text);
}

// The field's text, clipped.
template <size_t N>
std::string_view ClippedField(const char (&field)[N]) {
  return Clip(std::string_view(field, N));
}

// a clipped, followed by b: how STRING values concatenate.
std::string ClippedJoin(std::string_view a, std::string_view b);

// Byte order of the clipped texts (case-sensitive); <0, 0 or >0.
int CompareClipped(std::string_view a, std::string_view b);

// Upper case of a Windows-1252 character or text: ASCII letters and the
// accented letters of the set (é is É, š is Š, ÿ is Ÿ); ß and other
// characters without a single upper-case form stay as they are.
char ToUpper1252(char c);
std::string ToUpper1252(std::string_view text);
// Clipped comparison that ignores letter case as ToUpper1252 does.
int CompareNoCase(std::string_view a, std::string_view b);
inline bool EqualNoCase(std::string_view a, std::string_view b) { return CompareNoCase(a, b) == 0; }

}  // namespace ledora::runtime
