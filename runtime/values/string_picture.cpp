#include "runtime/values/string_picture.h"

#include "runtime/values/fixed_string.h"

namespace ledora::runtime {

namespace {
constexpr int kMaxStringSize = 65535;
}

std::unique_ptr<StringPicture> StringPicture::Compile(std::string_view size, std::string* error) {
  int n = 0;
  for (char c : size) {
    if (c < '0' || c > '9' || n > kMaxStringSize) {
      if (error) *error = "string picture needs a size from 1 to 65535";
      return nullptr;
    }
    n = n * 10 + (c - '0');
  }
  if (n < 1 || n > kMaxStringSize) {
    if (error) *error = "string picture needs a size from 1 to 65535";
    return nullptr;
  }
  return std::make_unique<StringPicture>(n);
}

std::string StringPicture::Format(const Decimal& value) const { return Format(value.ToString()); }

std::string StringPicture::Format(std::string_view text) const {
  return std::string(Clip(text.substr(0, size_)));
}

bool StringPicture::Deformat(std::string_view shown, Decimal* value) const {
  std::string_view s = Clip(shown);
  s.remove_prefix(std::min(s.size(), s.find_first_not_of(' ')));
  std::optional<Decimal> parsed = Decimal::Parse(s.empty() ? "0" : s);
  if (!parsed) return false;
  *value = *parsed;
  return true;
}

bool StringPicture::Deformat(std::string_view shown, std::string* text) const {
  *text = Format(shown);
  return true;
}

}  // namespace ledora::runtime
