#include "designer/designer_text_table.h"

#include <algorithm>
#include <tuple>

#include "runtime/ini/line_file.h"

namespace ledora::designer {
namespace {

constexpr size_t kMaxLineLength = 255;
constexpr size_t kMaxOverrideField = 128;

std::string_view TrimRight(std::string_view text) {
  size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

std::string Cut(std::string_view text, size_t capacity) {
  return std::string(text.substr(0, capacity));
}

bool OverrideLess(const TextOverride& a, const TextOverride& b) {
  return std::tie(a.IQSECTION, a.IQENTRY) < std::tie(b.IQSECTION, b.IQENTRY);
}

}  // namespace

DesignerTextTable::DesignerTextTable(std::string overrideFile)
    : overrideFile_(std::move(overrideFile)) {}

void DesignerTextTable::Load(const std::function<void(bool)>& showWait) {
  if (loaded_) return;
  if (showWait) showWait(true);
  ReadOverrides();
  for (const DesignerTextDefault& text : DesignerTextDefaults()) {
    std::string value = TextFor(text.section, text.key, text.text);
    slots_[text.key][text.slot - 1] = Cut(value, text.capacity);
  }
  loaded_ = true;
  if (showWait) showWait(false);
}

void DesignerTextTable::ReadOverrides() {
  overrides_.clear();
  std::vector<std::string> lines;
  // A file that cannot be read leaves no lines: every default applies.
  runtime::ReadLineFile(overrideFile_, kMaxLineLength, &lines);
  std::string section;
  for (const std::string& line : lines) {
    if (!line.empty() && line[0] == ';') continue;
    std::string_view trimmed = TrimRight(line);
    if (trimmed.empty()) continue;
    if (trimmed[0] == '[') {
      // The last character goes whatever it is, as a closing bracket would.
      section = trimmed.size() < 2 ? std::string()
                                   : Cut(trimmed.substr(1, trimmed.size() - 2), kMaxOverrideField);
      continue;
    }
    size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos) continue;
    overrides_.push_back({section, Cut(trimmed.substr(0, equals), kMaxOverrideField),
                          Cut(trimmed.substr(equals + 1), kMaxOverrideField)});
  }
  // Stable, so of two lines for one entry the first in the file wins.
  std::stable_sort(overrides_.begin(), overrides_.end(), OverrideLess);
}

const TextOverride* DesignerTextTable::FindOverride(std::string_view section,
                                                    std::string_view entry) const {
  auto it = std::lower_bound(overrides_.begin(), overrides_.end(), std::tie(section, entry),
                             [](const TextOverride& o, const auto& wanted) {
                               return std::tie(o.IQSECTION, o.IQENTRY) < wanted;
                             });
  if (it == overrides_.end() || it->IQSECTION != section || it->IQENTRY != entry) return nullptr;
  return &*it;
}

std::string DesignerTextTable::TextFor(std::string_view section, std::string_view entry,
                                       std::string_view fallback) const {
  // Entries before the first section line carry an empty section: never asked for.
  if (section.empty()) return std::string(fallback);
  const TextOverride* found = FindOverride(section, entry);
  return std::string(found != nullptr ? std::string_view(found->IQVALUE) : fallback);
}

const std::string& DesignerTextTable::Text(std::string_view key, TextSlot slot) const {
  static const std::string kNone;
  auto it = slots_.find(key);
  if (it == slots_.end() || slot < FirstSlot || slot > SecondSlot) return kNone;
  return it->second[slot - 1];
}

DesignerTextTable& DesignerTexts() {
  static DesignerTextTable table;
  return table;
}

}  // namespace ledora::designer
