// Every caption, menu text, tooltip and message of the report designer, by
// key, with the built-in defaults overridable from ".\qrptdes.ini". Filled
// once per process by the first designer window; the designer's windows and
// dialogs (and the layout selection, import and export dialogs) read it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ledora::designer {

// Two keys are listed twice (TextsPaper, TextsDetailArea): the report
// properties dialog reads the first slot, the canvas the second.
enum TextSlot : uint8_t { FirstSlot = 1, SecondSlot = 2 };

struct DesignerTextDefault {
  const char* section;
  const char* key;
  const char* text;
  uint16_t capacity;  // characters the slot holds
  TextSlot slot;
};

// The built-in texts, in the order the table is filled.
std::span<const DesignerTextDefault> DesignerTextDefaults();

// One line of the override file: section, entry and value, each cut at 128.
struct TextOverride {
  std::string IQSECTION;
  std::string IQENTRY;
  std::string IQVALUE;
};

inline constexpr char kDesignerIniFile[] = ".\\qrptdes.ini";

class DesignerTextTable {
 public:
  explicit DesignerTextTable(std::string overrideFile = kDesignerIniFile);

  // Reads the override file and fills every slot, once: later calls return
  // at once, so edits to the file show only in a new process. showWait, if
  // given, is called with true before the file is read and false after.
  // A missing or unreadable file is not an error: the defaults apply.
  void Load(const std::function<void(bool)>& showWait = {});
  bool loaded() const { return loaded_; }

  // The slot's text; empty before Load and for a key the table lacks.
  const std::string& Text(std::string_view key, TextSlot slot = FirstSlot) const;
  // The override for (section, entry) if the file had one, else fallback.
  std::string TextFor(std::string_view section, std::string_view entry,
                      std::string_view fallback) const;

  const std::vector<TextOverride>& overrides() const { return overrides_; }

 private:
  void ReadOverrides();
  const TextOverride* FindOverride(std::string_view section, std::string_view entry) const;

  std::string overrideFile_;
  std::vector<TextOverride> overrides_;  // sorted by section, then entry
  std::map<std::string, std::array<std::string, 2>, std::less<>> slots_;
  bool loaded_ = false;
};

// The process's table.
DesignerTextTable& DesignerTexts();

}  // namespace ledora::designer
