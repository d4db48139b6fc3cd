// A compiled numeric picture: prints decimals within a fixed width (sign,
// fill, grouping, decimal point, prefix and suffix) and reads typed numbers
// back. Picture::Compile makes it for "@N" pictures.
#pragma once

#include <string>
#include <string_view>

#include "runtime/values/number_format.h"
#include "runtime/values/picture.h"

namespace ledora::runtime {

class NumberPicture : public Picture {
 public:
  explicit NumberPicture(NumberFormat format) : format_(std::move(format)) {}

  PictureKind kind() const override { return PictureNumber; }
  int width() const override { return format_.size; }
  const NumberFormat& format() const { return format_; }

  // A value that does not fit shows as width() '#' characters. A negative
  // value under a picture without a sign still shows its '-', in a position
  // the digits would otherwise use.
  std::string Format(const Decimal& value) const override;
  std::string Format(std::string_view text) const override;
  // Accepts what Format shows and what a user types: blanks, the prefix and
  // suffix, group separators and fill are optional; '-' before or after or
  // parentheses make the value negative. More places than the picture has
  // are rounded; blank text is 0.
  bool Deformat(std::string_view shown, Decimal* value) const override;
  bool Deformat(std::string_view shown, std::string* text) const override;

 private:
  std::string Body(const Decimal& rounded) const;
  bool ReadDigits(std::string_view text, std::string* plain) const;

  NumberFormat format_;
};

}  // namespace ledora::runtime
