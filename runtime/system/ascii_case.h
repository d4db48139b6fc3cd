// Letter case of names the program itself spells: labels, keys, file names,
// words of pictures and menus. Only A-Z and a-z change; other bytes (the
// Windows-1252 letters of user text, which have their own rules) stay.
#pragma once

#include <string>
#include <string_view>

namespace ledora::runtime {

constexpr char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
std::string AsciiUpper(std::string_view text);
std::string AsciiLower(std::string_view text);
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);
// Whether text begins with prefix, letter case aside.
bool StartsIgnoringAsciiCase(std::string_view text, std::string_view prefix);

}  // namespace ledora::runtime
