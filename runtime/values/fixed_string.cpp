#include "runtime/values/fixed_string.h"

#include <algorithm>
#include <cstring>

namespace ledora::runtime {

std::string_view Clip(std::string_view text) {
  size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

std::string_view TrimBlanks(std::string_view text) {
  size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view() : Clip(text.substr(first));
}

void AssignPadded(char* field, size_t size, std::string_view text) {
  if (field == nullptr || size == 0) return;
  size_t n = std::min(size, text.size());
  std::memmove(field, text.data(), n);
  std::memset(field + n, ' ', size - n);
}

std::string ClippedJoin(std::string_view a, std::string_view b) {
  std::string out(Clip(a));
  out.append(b);
  return out;
}

int CompareClipped(std::string_view a, std::string_view b) { return Clip(a).compare(Clip(b)); }

char ToUpper1252(char c) {
  auto u = static_cast<unsigned char>(c);
  if (u >= 'a' && u <= 'z') return static_cast<char>(u - 32);
  // à..þ map to À..Þ, except ÷ (0xF7), which has no case.
  if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<char>(u - 32);
  switch (u) {
    case 0x9A:
      return static_cast<char>(0x8A);  // š
    case 0x9C:
      return static_cast<char>(0x8C);  // œ
    case 0x9E:
      return static_cast<char>(0x8E);  // ž
    case 0xFF:
      return static_cast<char>(0x9F);  // ÿ
    default:
      return c;
  }
}

std::string ToUpper1252(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = ToUpper1252(c);
  return out;
}

int CompareNoCase(std::string_view a, std::string_view b) {
  a = Clip(a);
  b = Clip(b);
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    auto ca = static_cast<unsigned char>(ToUpper1252(a[i]));
    auto cb = static_cast<unsigned char>(ToUpper1252(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace ledora::runtime
