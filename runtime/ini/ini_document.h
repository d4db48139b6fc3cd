// The lines of one INI file held in memory, with look-up and change of a
// value by section and key. Changes touch only the one line concerned so a
// file written back keeps every other line byte for byte; the settings store
// and the designer's INI operations use it through ini_file.h.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ledora::runtime {

enum IniLineKind : uint8_t {
  IniBlank = 0,
  IniComment,    // first non-blank character is ';'
  IniSection,    // "[name]", anything after the ']' ignored
  IniEntry,      // "key=value"
  IniMalformed,  // kept as written, never read
};

class IniDocument {
 public:
  IniDocument() = default;
  // Never fails: lines that cannot be read are kept as malformed lines.
  static IniDocument Parse(std::string_view bytes);
  std::string Serialize() const;

  // Section and key match without regard to case; the first matching entry
  // wins. The value comes back with surrounding blanks trimmed.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  // Rewrites the value of an existing entry, or adds the entry at the end of
  // its section, or adds the section at the end of the file. False (nothing
  // changed) when a name or the value cannot be written as one readable line.
  bool Set(std::string_view section, std::string_view key, std::string_view value);

  size_t LineCount() const { return lines_.size(); }
  IniLineKind KindOfLine(size_t index) const;

 private:
  struct Line {
    std::string text;    // without its ending
    std::string ending;  // "\n", "\r\n" or "" for a last line without one
  };

  std::string_view ReadableText(size_t index) const;
  std::optional<size_t> FindEntry(std::string_view section, std::string_view key) const;
  std::optional<size_t> FindSectionEnd(std::string_view section) const;
  void InsertLine(size_t position, std::string text);
  std::string NewLineEnding() const;

  std::vector<Line> lines_;
};

// Case-insensitive equality of Windows-1252 names, as the platform's profile
// functions compare sections and keys.
bool SameIniName(std::string_view a, std::string_view b);

}  // namespace ledora::runtime
