// What a date picture and a time picture have in common: the options and
// position layout a picture's text compiles to, printing a value through the
// layout (blank when zero with "B"), and reading blank typed text as 0.
// DatePicture and TimePicture derive from it and add their calendar or clock.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/dates/locale_formats.h"
#include "runtime/dates/picture_layout.h"
#include "runtime/dates/picture_text.h"
#include "runtime/dates/typed_text.h"

namespace ledora::runtime {

// How one kind of picture compiles: formats 1 to patterns.size() are laid
// out by its patterns, the next two by the locale's short and long form.
struct DateTimeKind {
  char letter;            // 'D' or 'T'
  std::string_view noun;  // "date" or "time", for the error text
  std::span<const std::string_view> patterns;
  std::string LocaleFormats::*shortForm;
  std::string LocaleFormats::*longForm;
  // A locale pattern failing this is replaced by the default locale's.
  bool (*usable)(const PictureLayout& layout);
};

class DateTimePicture {
 public:
  int width() const { return layout_.width(); }
  int format() const { return options_.format; }
  bool blank_when_zero() const { return options_.blankWhenZero; }
  const PictureLayout& layout() const { return layout_; }

 protected:
  DateTimePicture(const PictureOptions& options, PictureLayout layout);

  // False, with error filled when given, on a malformed picture.
  static bool Compile(std::string_view picture, const DateTimeKind& kind, PictureOptions* options,
                      PictureLayout* layout, std::string* error);

  // Blanks for 0 with "B", else the layout printed with valuesOf(value).
  std::string Print(int32_t value, LayoutValues (*valuesOf)(int32_t)) const;

  // Blank text (or only the layout's literals) reads as 0; otherwise read
  // gets the text and its typed words and returns the value, or -1 for text
  // that is none. False, leaving *value unchanged, for none.
  template <typename Reader>
  bool Read(std::string_view text, int32_t* value, Reader read) const {
    std::vector<TypedWord> words = SplitTypedText(text);
    DropWords(layout_.LiteralWords(), &words);
    int32_t n = words.empty() ? 0 : read(text, words);
    if (n < 0) return false;
    *value = n;
    return true;
  }

  PictureOptions options_;
  PictureLayout layout_;
};

}  // namespace ledora::runtime
