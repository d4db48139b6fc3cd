// A compiled string picture "@Sn": shows at most n characters of a text.
// Picture::Compile makes it for "@S" pictures.
#pragma once

#include <string>
#include <string_view>

#include "runtime/values/picture.h"

namespace ledora::runtime {

class StringPicture : public Picture {
 public:
  explicit StringPicture(int size) : size_(size) {}
  // The text after the "S" must be the size, 1 to 65535.
  static std::unique_ptr<StringPicture> Compile(std::string_view size, std::string* error);

  PictureKind kind() const override { return PictureString; }
  int width() const override { return size_; }

  // The text cut to the size, trailing blanks removed (a display lines it
  // up by its width, not by padding).
  std::string Format(const Decimal& value) const override;
  std::string Format(std::string_view text) const override;
  // A number only when the text is one, blanks around it aside.
  bool Deformat(std::string_view shown, Decimal* value) const override;
  bool Deformat(std::string_view shown, std::string* text) const override;

 private:
  int size_;
};

}  // namespace ledora::runtime
