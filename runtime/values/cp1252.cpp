#include "runtime/values/cp1252.h"

#include <cstdint>

namespace ledora::runtime {

namespace {

// Code points of bytes 0x80..0x9F; the rest of the set equals Latin-1.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t CodePointOf(unsigned char byte) {
  return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : byte;
}

void AppendUtf8(char32_t cp, std::string* out) {
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

bool ByteOf(char32_t cp, char* byte) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
    *byte = static_cast<char>(cp);
    return true;
  }
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] == cp) {
      *byte = static_cast<char>(0x80 + i);
      return true;
    }
  }
  return false;
}

// Decodes one character at text[*pos]; false on malformed, overlong or
// surrogate sequences.
bool NextCodePoint(std::string_view text, size_t* pos, char32_t* cp) {
  auto lead = static_cast<unsigned char>(text[*pos]);
  int extra;
  if (lead < 0x80) {
    extra = 0;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3;
  } else {
    return false;
  }
  if (text.size() - *pos <= static_cast<size_t>(extra)) return false;
  char32_t value = extra == 0 ? lead : lead & (0x3F >> extra);
  for (int i = 1; i <= extra; ++i) {
    auto c = static_cast<unsigned char>(text[*pos + i]);
    if ((c & 0xC0) != 0x80) return false;
    value = (value << 6) | (c & 0x3F);
  }
  static constexpr char32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
  if (value < kMin[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    return false;
  }
  *pos += extra + 1;
  *cp = value;
  return true;
}

// The length of text's leading run of ASCII, which both sets spell alike:
// most text is all of it, and is copied in one go.
size_t AsciiPrefix(std::string_view text) {
  size_t n = 0;
  while (n < text.size() && static_cast<unsigned char>(text[n]) < 0x80) ++n;
  return n;
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view text) {
  size_t ascii = AsciiPrefix(text);
  std::string out(text.substr(0, ascii));
  if (ascii == text.size()) return out;
  out.reserve(text.size() + (text.size() - ascii) * 2);
  for (char c : text.substr(ascii)) AppendUtf8(CodePointOf(static_cast<unsigned char>(c)), &out);
  return out;
}

bool Utf8ToCp1252(std::string_view text, std::string* out) {
  size_t pos = AsciiPrefix(text);
  std::string result(text.substr(0, pos));
  result.reserve(text.size());
  while (pos < text.size()) {
    char32_t cp;
    char byte;
    if (!NextCodePoint(text, &pos, &cp) || !ByteOf(cp, &byte)) return false;
    result.push_back(byte);
  }
  *out = std::move(result);
  return true;
}

}  // namespace ledora::runtime
