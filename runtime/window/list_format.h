// The list-format notation of list controls, parsed into columns: width,
// justification and indent, header text and its justification, picture and
// flags ("45R(2)|M~Customer ID~C(0)@n-13@80L(2)|M~Name~@s35@"). Lists use it
// to lay out and format their rows; presenters use it to draw headers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ledora::runtime {

enum Justification : char {
  JustifyLeft = 'L',
  JustifyRight = 'R',
  JustifyCentre = 'C',
  JustifyDecimal = 'D',
};

struct ListColumn {
  int32_t width = 0;  // window units
  Justification justification = JustifyLeft;
  int32_t indent = 0;
  std::string header;  // between '~'; empty when none
  Justification headerJustification = JustifyLeft;
  int32_t headerIndent = 0;
  std::string picture;       // between '@' ("@n-13"), empty when none
  bool rightBorder = false;  // '|'
  bool resizable = false;    // 'M'
  bool underline = false;    // '_'
  bool fixed = false;        // 'F'
  bool lastOnLine = false;   // '/'
  bool colours = false;      // '*'
  bool icon = false;         // 'I' or 'J'
  bool tree = false;         // 'T'
  bool tip = false;          // 'P'
  bool locator = false;      // '?'
  int32_t group = 0;         // 1-based index into ListFormat::groups(), 0 = none
};

struct ListGroup {
  std::string header;
  Justification headerJustification = JustifyLeft;
  int32_t headerIndent = 0;
  bool rightBorder = false;
  bool resizable = false;
};

class ListFormat {
 public:
  // Parses the whole text; on a malformed format returns false, leaves *out
  // empty and, when error is given, says where it went wrong.
  static bool Parse(std::string_view text, ListFormat* out, std::string* error = nullptr);

  const std::vector<ListColumn>& columns() const { return columns_; }
  const std::vector<ListGroup>& groups() const { return groups_; }
  bool empty() const { return columns_.empty(); }

 private:
  friend class ListFormatParser;
  std::vector<ListColumn> columns_;
  std::vector<ListGroup> groups_;
};

}  // namespace ledora::runtime
