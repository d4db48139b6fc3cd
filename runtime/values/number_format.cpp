#include "runtime/values/number_format.h"

#include <cctype>

#include "runtime/values/decimal.h"

namespace ledora::runtime {

namespace {

constexpr int kMaxSize = 255;

// The scan's position in the picture.
enum ScanState { Start, InPrefix, AfterPrefix, InSize, InPlaces, InSuffix, AfterSuffix };

class FormatScanner {
 public:
  FormatScanner(std::string_view text, NumberFormat* format) : text_(text), f_(format) {}

  bool Run(std::string* error) {
    for (pos_ = 0; pos_ < text_.size(); ++pos_) {
      if (!Step(text_[pos_])) {
        return Fail(error, std::string("unexpected '") + text_[pos_] + "' in number picture");
      }
      if (f_->size > kMaxSize) return Fail(error, "number picture wider than 255");
      if (f_->places > Decimal::kMaxPlaces) return Fail(error, "too many decimal places");
    }
    if (state_ == InPrefix || state_ == InSuffix)
      return Fail(error, "unclosed ~ in number picture");
    if (f_->size == 0) return Fail(error, "number picture has no size");
    if (f_->places >= f_->size) return Fail(error, "more places than the picture is wide");
    return true;
  }

 private:
  static bool Fail(std::string* error, std::string reason) {
    if (error) *error = std::move(reason);
    return false;
  }

  bool BeforeSize() const { return state_ <= AfterPrefix; }

  bool Step(char c) {
    if (state_ == InPrefix || state_ == InSuffix) return Literal(c);
    char u = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (c >= '0' && c <= '9') return Digit(c);
    switch (u) {
      case '~':
        return OpenLiteral();
      case '-':
        return Minus();
      case '(':
        return BeforeSize() ? Set(&f_->sign, SignParens) : false;
      case ')':
        return state_ >= InSize ? Set(&f_->sign, SignParens) : false;
      case '_':
        return BeforeSize() ? Set(&f_->fill, ' ') : state_ == InSize && Set(&f_->grouping, ' ');
      case '*':
        return BeforeSize() && Set(&f_->fill, '*');
      case '.':
        return Period();
      case '`':
        return state_ == InSize && Point(',');
      case 'V':
        return state_ == InSize && Point(0);
      case 'B':
        return Set(&f_->blankWhenZero, true);
      default:
        return false;
    }
  }

  template <typename T, typename V>
  static bool Set(T* field, V value) {
    *field = value;
    return true;
  }

  bool Literal(char c) {
    if (c != '~') {
      (state_ == InPrefix ? f_->prefix : f_->suffix).push_back(c);
      return true;
    }
    state_ = state_ == InPrefix ? AfterPrefix : AfterSuffix;
    return true;
  }

  bool OpenLiteral() {
    if (state_ == Start) return Set(&state_, InPrefix);
    if (state_ == InSize || state_ == InPlaces) return Set(&state_, InSuffix);
    return false;
  }

  bool Minus() {
    if (BeforeSize()) return Set(&f_->sign, SignLeading);
    if (state_ == InSize) return Set(&f_->grouping, '-');
    return Set(&f_->sign, SignTrailing);
  }

  bool Digit(char c) {
    int d = c - '0';
    if (state_ == InPlaces) return Set(&f_->places, f_->places * 10 + d);
    if (state_ == AfterSuffix) return false;
    if (c == '0' && BeforeSize()) return Set(&f_->fill, '0');
    state_ = InSize;
    return Set(&f_->size, f_->size * 10 + d);
  }

  bool Period() {
    if (state_ != InSize) return false;
    char next = pos_ + 1 < text_.size() ? text_[pos_ + 1] : 0;
    if (next == '.' || next == '`' || next == 'V' || next == 'v') return Set(&f_->grouping, '.');
    return Point('.');
  }

  bool Point(char point) {
    f_->point = point;
    state_ = InPlaces;
    return true;
  }

  std::string_view text_;
  NumberFormat* f_;
  size_t pos_ = 0;
  ScanState state_ = Start;
};

}  // namespace

char NumberFormat::GroupSeparator() const {
  if (fill != 0) return 0;
  if (grouping != 0) return grouping;
  return point == ',' ? '.' : ',';
}

bool ParseNumberFormat(std::string_view text, NumberFormat* format, std::string* error) {
  NumberFormat parsed;
  if (!FormatScanner(text, &parsed).Run(error)) return false;
  *format = std::move(parsed);
  return true;
}

}  // namespace ledora::runtime
