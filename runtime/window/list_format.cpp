#include "runtime/window/list_format.h"

#include <cctype>

namespace ledora::runtime {

// Reads the notation left to right; every column starts with its width.
class ListFormatParser {
 public:
  explicit ListFormatParser(std::string_view text) : text_(text) {}

  bool Run(ListFormat* out) {
    while (!AtEnd()) {
      if (Peek() == '[') {
        if (!Group(out)) return false;
      } else if (!Column(out, 0)) {
        return false;
      }
    }
    return true;
  }

  const std::string& error() const { return error_; }

 private:
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
  bool Fail(const std::string& what) {
    error_ = what + " at position " + std::to_string(pos_ + 1);
    return false;
  }

  bool Number(int32_t* value) {
    if (!std::isdigit(static_cast<unsigned char>(Peek()))) return false;
    int64_t n = 0;
    while (std::isdigit(static_cast<unsigned char>(Peek()))) {
      n = n * 10 + (text_[pos_++] - '0');
      if (n > 1000000) return Fail("number too large");
    }
    *value = static_cast<int32_t>(n);
    return true;
  }

  // "(n)" after a letter; absent is fine.
  bool Parenthesised(int32_t* value) {
    if (Peek() != '(') return true;
    ++pos_;
    bool negative = Peek() == '-';
    if (negative) ++pos_;
    if (!Number(value)) return Fail("expected a number");
    if (negative) *value = -*value;
    if (Peek() != ')') return Fail("expected ')'");
    ++pos_;
    return true;
  }

  static bool IsJustification(char c) {
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return c == 'L' || c == 'R' || c == 'C' || c == 'D';
  }
  Justification TakeJustification() {
    return static_cast<Justification>(std::toupper(static_cast<unsigned char>(text_[pos_++])));
  }

  bool Delimited(char delimiter, std::string* out) {
    ++pos_;
    size_t end = text_.find(delimiter, pos_);
    if (end == std::string_view::npos) return Fail(std::string("unterminated '") + delimiter + "'");
    out->assign(text_.substr(pos_, end - pos_));
    pos_ = end + 1;
    return true;
  }

  // The flags between justification and header, and after the picture.
  template <typename Flags>
  bool Modifiers(Flags* c) {
    for (;;) {
      char m = static_cast<char>(std::toupper(static_cast<unsigned char>(Peek())));
      int32_t ignored = 0;
      switch (m) {
        case '|':
          c->rightBorder = true;
          break;
        case 'M':
          c->resizable = true;
          break;
        case '_':
        case 'F':
        case '/':
        case '*':
        case 'I':
        case 'J':
        case 'T':
        case 'P':
        case '?':
        case 'Y':
        case 'Q':
          ++pos_;
          SetFlag(c, m);
          continue;
        case 'Z':
        case 'S':
        case 'E':
          ++pos_;
          if (m == 'E') {
            if (Peek() != '(') return Fail("expected '('");
            size_t end = text_.find(')', pos_);
            if (end == std::string_view::npos) return Fail("unterminated '('");
            pos_ = end + 1;
          } else if (!Parenthesised(&ignored)) {
            return false;
          }
          continue;
        case '#': {
          std::string field;
          if (!Delimited('#', &field)) return false;
          continue;
        }
        default:
          return true;
      }
      ++pos_;
    }
  }

  static void SetFlag(ListColumn* c, char m) {
    switch (m) {
      case '_':
        c->underline = true;
        break;
      case 'F':
        c->fixed = true;
        break;
      case '/':
        c->lastOnLine = true;
        break;
      case '*':
        c->colours = true;
        break;
      case 'I':
      case 'J':
        c->icon = true;
        break;
      case 'T':
        c->tree = true;
        break;
      case 'P':
        c->tip = true;
        break;
      case '?':
        c->locator = true;
        break;
      default:
        break;
    }
  }
  static void SetFlag(ListGroup*, char) {}

  template <typename Header>
  bool HeaderText(Header* c, Justification fallback) {
    c->headerJustification = fallback;
    if (Peek() != '~') return true;
    if (!Delimited('~', &c->header)) return false;
    if (IsJustification(Peek())) {
      c->headerJustification = TakeJustification();
      if (!Parenthesised(&c->headerIndent)) return false;
    }
    return true;
  }

  bool Column(ListFormat* out, int32_t group) {
    ListColumn c;
    c.group = group;
    if (!Number(&c.width)) return Fail("expected a column width");
    if (!IsJustification(Peek())) return Fail("expected L, R, C or D");
    c.justification = TakeJustification();
    if (!Parenthesised(&c.indent) || !Modifiers(&c)) return false;
    if (!HeaderText(&c, c.justification)) return false;
    if (Peek() == '@') {
      std::string picture;
      if (!Delimited('@', &picture)) return false;
      c.picture = "@" + picture;
    }
    if (!Modifiers(&c)) return false;
    out->columns_.push_back(std::move(c));
    return true;
  }

  bool Group(ListFormat* out) {
    ++pos_;
    out->groups_.emplace_back();
    auto index = static_cast<int32_t>(out->groups_.size());
    size_t first = out->columns_.size();
    while (Peek() != ']') {
      if (AtEnd()) return Fail("unterminated '['");
      if (!Column(out, index)) return false;
    }
    ++pos_;
    if (out->columns_.size() == first) return Fail("empty group");
    int32_t width = 0;
    if (!Parenthesised(&width)) return false;
    ListGroup& g = out->groups_[index - 1];
    if (!Modifiers(&g)) return false;
    return HeaderText(&g, JustifyLeft);
  }

  std::string_view text_;
  size_t pos_ = 0;
  std::string error_;
};

bool ListFormat::Parse(std::string_view text, ListFormat* out, std::string* error) {
  ListFormat parsed;
  ListFormatParser parser(text);
  if (!parser.Run(&parsed)) {
    *out = ListFormat();
    if (error != nullptr) *error = parser.error();
    return false;
  }
  *out = std::move(parsed);
  return true;
}

}  // namespace ledora::runtime
