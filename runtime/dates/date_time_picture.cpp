#include "runtime/dates/date_time_picture.h"

#include <utility>

namespace ledora::runtime {
namespace {

PictureLayout LocaleLayout(std::string LocaleFormats::*form,
                           bool (*usable)(const PictureLayout& layout)) {
  PictureLayout layout;
  if (LayoutFromPattern(ReadLocaleFormats().*form, &layout) && usable(layout)) return layout;
  layout = PictureLayout();
  LayoutFromPattern(LocaleFormats().*form, &layout);
  return layout;
}

}  // namespace

DateTimePicture::DateTimePicture(const PictureOptions& options, PictureLayout layout)
    : options_(options), layout_(std::move(layout)) {}

bool DateTimePicture::Compile(std::string_view picture, const DateTimeKind& kind,
                              PictureOptions* options, PictureLayout* layout, std::string* error) {
  if (!ParsePictureText(picture, kind.letter, options, error)) return false;
  int fixed = static_cast<int>(kind.patterns.size());
  if (options->format < 1 || options->format > fixed + 2) {
    if (error)
      *error = "unknown " + std::string(kind.noun) + " format " + std::to_string(options->format);
    return false;
  }
  if (options->format > fixed) {
    *layout =
        LocaleLayout(options->format == fixed + 1 ? kind.shortForm : kind.longForm, kind.usable);
  } else {
    *layout = PictureLayout();
    LayoutFromPattern(kind.patterns[options->format - 1], layout);
  }
  if (options->fill != 0) layout->SetFill(options->fill);
  if (options->separator != 0) layout->SetSeparator(options->separator);
  return true;
}

std::string DateTimePicture::Print(int32_t value, LayoutValues (*valuesOf)(int32_t)) const {
  if (value == 0 && options_.blankWhenZero) return std::string(width(), ' ');
  return layout_.Print(valuesOf(value));
}

}  // namespace ledora::runtime
