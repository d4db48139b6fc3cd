// Reads a report's text dump back as pages of whitespace-normalised lines,
// the shape the report tests check and compare with PDF text.
#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace ledora::testing {

using PageLines = std::vector<std::vector<std::string>>;

inline std::string Normalised(const std::string& line) {
  std::istringstream words(line);
  std::string word, out;
  while (words >> word) out += (out.empty() ? "" : " ") + word;
  return out;
}

// Pages of a TextDump; each "--- page N ---" line starts a page.
inline PageLines SplitDump(const std::string& dump) {
  PageLines pages;
  std::istringstream in(dump);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("--- page ", 0) == 0) {
      pages.emplace_back();
    } else if (!pages.empty() && !Normalised(line).empty()) {
      pages.back().push_back(Normalised(line));
    }
  }
  return pages;
}

}  // namespace ledora::testing
