#include "runtime/system/ascii_case.h"

#include <algorithm>

namespace ledora::runtime {

std::string AsciiUpper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = AsciiUpper(c);
  return upper;
}

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = AsciiLower(c);
  return lower;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && StartsIgnoringAsciiCase(a, b);
}

bool StartsIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
  return prefix.size() <= text.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(),
                    [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

}  // namespace ledora::runtime
