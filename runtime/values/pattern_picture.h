// A compiled pattern picture "@P...P" ("@pPage <<#p"): digits of a whole
// number in '<' and '#' positions among literal characters. Picture::Compile
// makes it for "@P" pictures; reports print page numbers with it.
#pragma once

#include <string>
#include <string_view>

#include "runtime/values/picture.h"

namespace ledora::runtime {

class PatternPicture : public Picture {
 public:
  PatternPicture(std::string pattern, bool blankWhenZero);
  // The text after the first "P": the pattern, a closing "P", then an
  // optional "B" (blank when zero).
  static std::unique_ptr<PatternPicture> Compile(std::string_view rest, std::string* error);

  PictureKind kind() const override { return PicturePattern; }
  int width() const override { return static_cast<int>(pattern_.size()); }

  // The value's digits, right-aligned over all digit positions. A '#'
  // always prints its digit; a '<' holding a leading zero prints nothing, so
  // the text closes up: 7 in "Page <<#" is "Page 7". A value with more
  // digits than positions shows width() '#'.
  std::string Format(const Decimal& value) const override;
  std::string Format(std::string_view text) const override;
  // Reads text shaped like the pattern, closed up or blank-filled.
  bool Deformat(std::string_view shown, Decimal* value) const override;
  bool Deformat(std::string_view shown, std::string* text) const override;

 private:
  void ReadRun(std::string_view shown, size_t* pos, int length, bool first, __int128* value,
               bool* negative) const;

  std::string pattern_;
  int digitPositions_ = 0;
  bool blankWhenZero_;
};

}  // namespace ledora::runtime
