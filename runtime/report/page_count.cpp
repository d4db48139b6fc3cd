#include "runtime/report/page_count.h"

#include <algorithm>

#include "runtime/values/picture.h"

namespace ledora::runtime {

namespace {

bool IsDigitPosition(char c) { return c == '<' || c == '#'; }

// The pattern between "@p" and its closing "p" (and an optional "B"); false
// when picture is no pattern picture.
bool PatternOf(std::string_view picture, std::string_view* pattern, std::string_view* closing) {
  size_t start = picture.find_first_not_of(' ');
  if (start == std::string_view::npos || picture.size() < start + 3) return false;
  picture.remove_prefix(start);
  if (picture[0] != '@' || (picture[1] != 'p' && picture[1] != 'P')) return false;
  picture.remove_prefix(2);
  while (!picture.empty() && picture.back() == ' ') picture.remove_suffix(1);
  size_t close = picture.size();
  if (close > 0 && (picture[close - 1] == 'B' || picture[close - 1] == 'b')) --close;
  if (close == 0 || (picture[close - 1] != 'p' && picture[close - 1] != 'P')) return false;
  *pattern = picture.substr(0, close - 1);
  *closing = picture.substr(close - 1);
  return true;
}

// A run of digit positions too short for value gains leading '<'
// positions: a long report's page 1000 must not print as "###".
std::string Formatted(std::string_view pattern, std::string_view closing, int32_t value) {
  std::string widened(pattern);
  auto first = std::find_if(widened.begin(), widened.end(), IsDigitPosition);
  auto end = std::find_if_not(first, widened.end(), IsDigitPosition);
  size_t digits = std::to_string(value < 0 ? -static_cast<int64_t>(value) : value).size();
  size_t positions = static_cast<size_t>(end - first);
  if (positions > 0 && digits > positions) widened.insert(first, digits - positions, '<');
  std::string picture = "@p" + widened + std::string(closing);
  return FormatWithPicture(picture, FieldRef::Of(value));
}

}  // namespace

std::string FormatPageOfPages(std::string_view picture, int32_t number, int32_t pages) {
  std::string_view pattern, closing;
  if (!PatternOf(picture, &pattern, &closing)) {
    return FormatWithPicture(picture, FieldRef::Of(pages));
  }
  auto first = std::find_if(pattern.begin(), pattern.end(), IsDigitPosition);
  auto firstEnd = std::find_if_not(first, pattern.end(), IsDigitPosition);
  if (std::find_if(firstEnd, pattern.end(), IsDigitPosition) == pattern.end()) {
    return Formatted(pattern, closing, pages);
  }
  size_t split = static_cast<size_t>(firstEnd - pattern.begin());
  return Formatted(pattern.substr(0, split), closing, number) +
         Formatted(pattern.substr(split), closing, pages);
}

std::string FormatPageNumber(std::string_view picture, int32_t number) {
  std::string_view pattern, closing;
  if (!PatternOf(picture, &pattern, &closing)) return FormatWithPicture(picture, FieldRef::Of(number));
  return Formatted(pattern, closing, number);
}

std::string ShownText(const PageImage& page, const PageItem& item) {
  if (item.kind != ItemText || !(item.flags & FlagPageCount)) return item.text;
  return FormatPageOfPages(item.text, page.number, std::max(page.pages, page.number));
}

}  // namespace ledora::runtime
