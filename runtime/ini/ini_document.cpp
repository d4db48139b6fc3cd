#include "runtime/ini/ini_document.h"

namespace ledora::runtime {

namespace {

constexpr std::string_view kBlanks = " \t\r";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text) {
  size_t begin = text.find_first_not_of(kBlanks);
  if (begin == std::string_view::npos) return {};
  size_t end = text.find_last_not_of(kBlanks);
  return text.substr(begin, end - begin + 1);
}

unsigned char FoldCase(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  // Windows-1252 accented letters: the lower case sits 32 above the upper,
  // except for the few letters in the 0x80 block and y with diaeresis.
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  if (c == 0x9A || c == 0x9C || c == 0x9E) return c - 16;
  if (c == 0xFF) return 0x9F;
  return c;
}

struct ParsedLine {
  IniLineKind kind = IniBlank;
  bool opensBlock = false;  // a section header, sound or broken
  std::string_view name;    // section or key, trimmed
  std::string_view value;   // trimmed
  size_t valueBegin = 0;    // where the value's text starts in the line
};

ParsedLine ParseLine(std::string_view text) {
  ParsedLine line;
  std::string_view content = Trim(text);
  if (content.empty()) return line;
  if (content.front() == ';') {
    line.kind = IniComment;
    return line;
  }
  if (content.front() == '[') {
    line.opensBlock = true;
    size_t close = content.find(']');
    if (close == std::string_view::npos) {
      line.kind = IniMalformed;
      return line;
    }
    line.kind = IniSection;
    line.name = Trim(content.substr(1, close - 1));
    return line;
  }
  size_t equals = text.find('=');
  if (equals == std::string_view::npos || Trim(text.substr(0, equals)).empty()) {
    line.kind = IniMalformed;
    return line;
  }
  line.kind = IniEntry;
  line.name = Trim(text.substr(0, equals));
  size_t after = text.find_first_not_of(" \t", equals + 1);
  line.valueBegin = after == std::string_view::npos ? text.size() : after;
  line.value = Trim(text.substr(equals + 1));
  return line;
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

bool WritableSection(std::string_view section) {
  return !Trim(section).empty() && !HasLineBreak(section) &&
         section.find(']') == std::string_view::npos;
}

bool WritableKey(std::string_view key) {
  std::string_view name = Trim(key);
  return !name.empty() && !HasLineBreak(key) && key.find('=') == std::string_view::npos &&
         name.front() != ';' && name.front() != '[';
}

}  // namespace

bool SameIniName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(static_cast<unsigned char>(a[i])) != FoldCase(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

IniDocument IniDocument::Parse(std::string_view bytes) {
  IniDocument document;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t newline = bytes.find('\n', start);
    Line line;
    if (newline == std::string_view::npos) {
      line.text = std::string(bytes.substr(start));
      start = bytes.size();
    } else {
      size_t end = newline;
      if (end > start && bytes[end - 1] == '\r') --end;
      line.text = std::string(bytes.substr(start, end - start));
      line.ending = std::string(bytes.substr(end, newline + 1 - end));
      start = newline + 1;
    }
    document.lines_.push_back(std::move(line));
  }
  return document;
}

std::string IniDocument::Serialize() const {
  std::string bytes;
  for (const Line& line : lines_) bytes += line.text + line.ending;
  return bytes;
}

IniLineKind IniDocument::KindOfLine(size_t index) const {
  if (index >= lines_.size()) return IniBlank;
  return ParseLine(ReadableText(index)).kind;
}

// An editor may have put a byte order mark before the first line.
std::string_view IniDocument::ReadableText(size_t index) const {
  std::string_view text = lines_[index].text;
  if (index == 0 && text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  return text;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
  std::optional<size_t> index = FindEntry(Trim(section), Trim(key));
  if (!index) return std::nullopt;
  return std::string(ParseLine(lines_[*index].text).value);
}

bool IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  if (!WritableSection(section) || !WritableKey(key) || HasLineBreak(value)) return false;
  section = Trim(section);
  key = Trim(key);
  if (std::optional<size_t> index = FindEntry(section, key)) {
    std::string& text = lines_[*index].text;
    text = text.substr(0, ParseLine(text).valueBegin) + std::string(value);
    return true;
  }
  std::string entry = std::string(key) + "=" + std::string(value);
  if (std::optional<size_t> end = FindSectionEnd(section)) {
    InsertLine(*end, std::move(entry));
    return true;
  }
  InsertLine(lines_.size(), "[" + std::string(section) + "]");
  InsertLine(lines_.size(), std::move(entry));
  return true;
}

// Entries before the first header, or under a broken one, belong to no
// section and are never found: attaching them to a neighbour would read
// values the user meant elsewhere.
std::optional<size_t> IniDocument::FindEntry(std::string_view section, std::string_view key) const {
  bool inSection = false;
  for (size_t i = 0; i < lines_.size(); ++i) {
    ParsedLine line = ParseLine(ReadableText(i));
    if (line.opensBlock) {
      inSection = line.kind == IniSection && SameIniName(line.name, section);
    } else if (inSection && line.kind == IniEntry && SameIniName(line.name, key)) {
      return i;
    }
  }
  return std::nullopt;
}

// The position after the last non-blank line of the first section of that
// name, so blank lines that separate it from the next section stay between.
std::optional<size_t> IniDocument::FindSectionEnd(std::string_view section) const {
  std::optional<size_t> header;
  size_t lastFilled = 0;
  for (size_t i = 0; i < lines_.size(); ++i) {
    ParsedLine line = ParseLine(ReadableText(i));
    if (line.opensBlock) {
      if (header) break;
      if (line.kind == IniSection && SameIniName(line.name, section)) header = lastFilled = i;
    } else if (header && line.kind != IniBlank) {
      lastFilled = i;
    }
  }
  if (!header) return std::nullopt;
  return lastFilled + 1;
}

void IniDocument::InsertLine(size_t position, std::string text) {
  std::string ending = NewLineEnding();
  // The line before may have been the file's last, written without an ending.
  if (position > 0 && lines_[position - 1].ending.empty()) lines_[position - 1].ending = ending;
  lines_.insert(lines_.begin() + position, Line{std::move(text), ending});
}

std::string IniDocument::NewLineEnding() const {
  for (const Line& line : lines_) {
    if (!line.ending.empty()) return line.ending;
  }
  return "\n";
}

}  // namespace ledora::runtime
