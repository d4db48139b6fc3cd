// Display pictures: "@n-13.2", "@s20", "@d6", "@t1", "@pPage <<#p". A
// picture is compiled once and then formats values for display and reads
// typed text back (deformat). Windows, lists, reports and the designer all
// show values through it.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "runtime/values/decimal.h"
#include "runtime/values/field_ref.h"

namespace ledora::runtime {

enum PictureKind { PictureNumber, PictureString, PictureDate, PictureTime, PicturePattern };

class Picture {
 public:
  // Letter case of the picture code does not matter. On a malformed picture
  // returns nullptr and, when error is given, says what is wrong.
  static std::unique_ptr<Picture> Compile(std::string_view text, std::string* error = nullptr);
  virtual ~Picture() = default;

  virtual PictureKind kind() const = 0;
  // The number of characters the picture shows (its display width).
  virtual int width() const = 0;

  // Numbers, dates and times format from a number (a date or time is its
  // standard value); strings and patterns format from text.
  virtual std::string Format(const Decimal& value) const = 0;
  virtual std::string Format(std::string_view text) const = 0;
  std::string Format(const FieldRef& field) const;

  // Reads shown or typed text back. False on text the picture cannot read;
  // the target is then left unchanged.
  virtual bool Deformat(std::string_view shown, Decimal* value) const = 0;
  virtual bool Deformat(std::string_view shown, std::string* text) const = 0;
  bool Deformat(std::string_view shown, const FieldRef& field) const;
};

// Formats with a picture compiled on the spot; a malformed or empty picture
// shows the value as plain text, so a bad design never hides data.
std::string FormatWithPicture(std::string_view picture, const FieldRef& field);

}  // namespace ledora::runtime
