#include "framework/thumb_step.h"

#include <algorithm>
#include <cctype>

#include "runtime/values/decimal.h"
#include "runtime/values/fixed_string.h"

namespace ledora::framework {

namespace {

using runtime::Decimal;

uint8_t Mirrored(int p, bool descending) { return static_cast<uint8_t>(descending ? 100 - p : p); }

uint8_t AtLeastOne(uint8_t p) { return p == 0 ? 1 : p; }

int64_t WholeNumber(std::string_view text) {
  return runtime::ParseLeadingNumber(text).Rescaled(0).ToInt64();
}

// Letters of Windows-1252: ASCII, the accented capitals and small letters.
bool IsLetter(unsigned char c) {
  if (std::isalpha(c)) return true;
  if (c == 138 || c == 140 || c == 142 || c == 154 || c == 156 || c == 158 || c == 159) return true;
  return c >= 192 && c != 215 && c != 247;
}

bool IsUpperLetter(unsigned char c) {
  if (c < 128) return std::isupper(c) != 0;
  return c == 138 || c == 140 || c == 142 || c == 159 || (c >= 192 && c <= 222 && c != 215);
}

const std::string kPunctuation =
    std::string("`!\"") + static_cast<char>(163) + "$%%^&*()'-=_+][#;~@:/.,?\\| ";

std::string SortCharacters(uint8_t controls) {
  std::string chars;
  for (int code = 1; code <= 255; ++code) {
    auto c = static_cast<unsigned char>(code);
    bool letter = IsLetter(c) && ((controls & StepCaseSensitive) || IsUpperLetter(c));
    bool takes = ((controls & StepLetters) && letter) ||
                 ((controls & StepDigits) && c >= '0' && c <= '9') ||
                 ((controls & StepPunctuation) &&
                  kPunctuation.find(static_cast<char>(c)) != std::string::npos);
    if (takes) chars += static_cast<char>(c);
  }
  return chars;
}

std::string ClippedText(std::string_view text) {
  text = text.substr(0, 80);
  size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string() : std::string(text.substr(0, end + 1));
}

}  // namespace

// ---------------------------------------------------------------- numeric

void NumericStep::SetRange(std::string_view low, std::string_view high) {
  auto lo = static_cast<int32_t>(WholeNumber(low));
  auto hi = static_cast<int32_t>(WholeNumber(high));
  LOW = Descending() ? hi : lo;
  HIGH = Descending() ? lo : hi;
}

uint8_t NumericStep::PercentileOf(std::string_view value) {
  if (LOW == HIGH) return 50;
  Decimal p = (runtime::ParseLeadingNumber(value) - Decimal(LOW)) *
              (Decimal(100) / (Decimal(HIGH) - Decimal(LOW)));
  // A value outside the limits stays at the nearer end.
  int64_t whole = std::clamp<int64_t>(p.ToInt64(), 0, 100);
  return AtLeastOne(Mirrored(static_cast<int>(whole), Descending()));
}

std::string NumericStep::ValueAtPercentile(uint8_t percentile) {
  int p = Mirrored(std::min<int>(percentile, 100), Descending());
  Decimal value = Decimal(p) / Decimal(100) * (Decimal(HIGH) - Decimal(LOW)) + Decimal(LOW);
  return std::to_string(value.ToInt64());
}

// ---------------------------------------------------------------- text

const std::string& TextStep::NameTable() {
  static const std::string table =
      "   ALBAMEARNBAKBATBENBIABOBBRABROBUACACCARCENCHRCOECONCORCRUDASDELDIADONDURELDEVEFEL"
      "FISFLOFREFUTGARGIBGOLGOSGREGUTHAMHEMHOBHOTINGJASJONKAGKEAKIRKORKYOLATLEOLIGLOUMAC"
      "MAQMARMAUMCKMERMILMONMORNATNOLOKEPAGPAUPETPINPORPULRAUREYROBROSRUBSALSCASCHSCRSHA"
      "SIGSKISNASOUSTESTISUNTAYTIRTUCVANWACWASWEIWIEWIMWOLYOR";
  return table;
}

const std::string& TextStep::AlphabetTable() {
  static const std::string table = [] {
    std::string t = "  AFANAT";
    for (char letter = 'B'; letter <= 'Z'; ++letter) {
      t += std::string(1, letter) + " ";
      if (letter != 'Q' && letter != 'Z') t += std::string(1, letter) + "F";
      t += std::string(1, letter) + "N";
      if (letter != 'Q' && letter != 'Z') t += std::string(1, letter) + "T";
    }
    return t;
  }();
  return table;
}

void TextStep::Initialize(uint8_t controls, uint8_t lookupMode) {
  CONTROLS = controls;
  LOOKUPMODE = lookupMode;
  ROOT.clear();
  SORTCHARS.reset();
  computed_.reset();
  if (lookupMode == LookupAlphabet) {
    REF = AlphabetTable().data();
    TESTLEN = 2;
  } else if (lookupMode == LookupComputed) {
    computed_ = std::make_unique<std::string>(400, ' ');
    REF = computed_->data();
    TESTLEN = 4;
    SORTCHARS = std::make_unique<std::string>(SortCharacters(controls));
  } else {
    LOOKUPMODE = LookupNames;
    REF = NameTable().data();
    TESTLEN = 3;
  }
}

void TextStep::Shutdown() {
  computed_.reset();
  SORTCHARS.reset();
  REF = nullptr;
}

std::string TextStep::Folded(std::string_view text) const {
  if (CONTROLS & StepCaseSensitive) return std::string(text);
  return runtime::ToUpper1252(text);
}

std::string TextStep::Entry(size_t index) const {
  if (REF == nullptr) return {};
  return std::string(REF + index * TESTLEN, TESTLEN);
}

void TextStep::SetRange(std::string_view low, std::string_view high) {
  if (LOOKUPMODE != LookupComputed || SORTCHARS == nullptr || SORTCHARS->empty()) return;
  // Folded like the values PercentileOf is given, or a lower-case limit
  // would have no place among the sort characters.
  std::string lo = Folded(ClippedText(low));
  std::string hi = Folded(ClippedText(high));
  size_t common = 0;
  size_t shorter = std::min({lo.size(), hi.size(), size_t{40}});
  while (common < shorter && lo[common] == hi[common]) ++common;
  ROOT = lo.substr(0, common);
  const std::string& chars = *SORTCHARS;
  auto number = [&](const std::string& text, char pad) {
    std::string tail = text.substr(common, 4);
    tail.resize(4, pad);
    int64_t n = 0;
    for (char c : tail) {
      size_t digit = chars.find(c);
      n = n * static_cast<int64_t>(chars.size()) + (digit == std::string::npos ? 0 : digit);
    }
    return n;
  };
  int64_t from = number(lo, chars.front());
  int64_t to = number(hi, chars.back());
  int64_t step = (to - from) / 100;
  auto base = static_cast<int64_t>(chars.size());
  for (int k = 0; k < 100; ++k) {
    int64_t n = from + k * step;
    std::string text(4, chars.front());
    for (int i = 3; i >= 0; --i, n /= base) text[i] = chars[static_cast<size_t>(n % base)];
    int entry = Descending() ? 99 - k : k;
    computed_->replace(static_cast<size_t>(entry) * 4, 4, text);
  }
}

uint8_t TextStep::PercentileOf(std::string_view value) {
  std::string text = Folded(value);
  int p = 0;
  if (!ROOT.empty()) {
    std::string head = text.substr(0, ROOT.size());
    if (head != ROOT) {
      p = head < ROOT ? 0 : 100;
      return AtLeastOne(Mirrored(p, Descending()));
    }
    text = text.substr(ROOT.size(), TESTLEN);
  }
  while (p < 100 && Entry(static_cast<size_t>(p)) < text) ++p;
  return AtLeastOne(Mirrored(p, Descending()));
}

std::string TextStep::ValueAtPercentile(uint8_t percentile) {
  int p = AtLeastOne(Mirrored(std::min<int>(percentile, 100), Descending()));
  return ROOT + Entry(static_cast<size_t>(p - 1));
}

}  // namespace ledora::framework
