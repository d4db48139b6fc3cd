#include "runtime/ini/line_file.h"

namespace ledora::runtime {

IniResult ReadLineFile(std::string_view fileName, size_t maxLength,
                       std::vector<std::string>* lines) {
  lines->clear();
  std::string bytes;
  IniResult result = ReadFileBytes(fileName, &bytes);
  std::string_view rest = bytes;
  while (!rest.empty()) {
    size_t newline = rest.find('\n');
    std::string_view line = rest.substr(0, newline);
    rest.remove_prefix(newline == std::string_view::npos ? rest.size() : newline + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines->emplace_back(line.substr(0, maxLength));
  }
  return result;
}

}  // namespace ledora::runtime
