// Display pictures of fields and controls, as designs and users type them:
// the first line is the picture, the rest a value to format and to read
// back.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/values/decimal.h"
#include "runtime/values/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ledora::runtime;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t newline = input.find('\n');
  std::string_view text = input.substr(0, newline);
  std::string_view value = newline == std::string_view::npos ? "" : input.substr(newline + 1);
  std::unique_ptr<Picture> picture = Picture::Compile(text);
  if (!picture) return 0;
  if (picture->width() < 0) __builtin_trap();
  Decimal number = ParseLeadingNumber(value);
  std::string shown = picture->Format(number);
  std::string typed = picture->Format(value);
  Decimal back;
  picture->Deformat(shown, &back);
  picture->Deformat(value, &back);
  std::string textBack;
  picture->Deformat(typed, &textBack);
  return 0;
}
