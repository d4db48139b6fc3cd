#include "runtime/dates/locale_formats.h"

#include <langinfo.h>
#include <locale.h>

#include <cctype>
#include <vector>

namespace ledora::runtime {
namespace {

// One conversion ("%d") or one run of literal text of a strftime format.
struct Item {
  char conversion = 0;
  bool noPad = false;
  std::string literal;
};

constexpr std::string_view kTimeConversions = "HIklMSpPZz";

// Composite conversions are spelt out so that parts of them can be dropped.
std::string_view Expansion(char c) {
  switch (c) {
    case 'D':
      return "%m/%d/%y";
    case 'F':
      return "%Y-%m-%d";
    case 'T':
      return "%H:%M:%S";
    case 'R':
      return "%H:%M";
    case 'r':
      return "%I:%M:%S %p";
    default:
      return {};
  }
}

bool Tokenize(std::string_view format, std::vector<Item>* items);

// Reads the conversion after the "%" at *i; false on one without a picture form.
bool ReadConversion(std::string_view format, size_t* i, std::vector<Item>* items) {
  bool noPad = false;
  while (*i < format.size() &&
         std::string_view("-_0^#").find(format[*i]) != std::string_view::npos) {
    noPad = noPad || format[*i] == '-' || format[*i] == '_';
    ++*i;
  }
  while (*i < format.size() && (std::isdigit(static_cast<unsigned char>(format[*i])) ||
                                format[*i] == 'E' || format[*i] == 'O')) {
    ++*i;
  }
  if (*i >= format.size()) return false;
  char c = format[(*i)++];
  if (!Expansion(c).empty()) return Tokenize(Expansion(c), items);
  if (c == 'n' || c == 't' || c == '%') {
    items->push_back({0, false, c == '%' ? "%" : " "});
    return true;
  }
  if (std::string_view("deamAbBhyYHkIlMSpPZz").find(c) == std::string_view::npos) return false;
  items->push_back({c, noPad, {}});
  return true;
}

bool Tokenize(std::string_view format, std::vector<Item>* items) {
  size_t i = 0;
  while (i < format.size()) {
    char c = format[i];
    if (static_cast<unsigned char>(c) >= 0x80) return false;  // not Windows-1252 safe
    if (c == '%') {
      ++i;
      if (!ReadConversion(format, &i, items)) return false;
      continue;
    }
    if (items->empty() || items->back().conversion != 0) items->push_back({});
    items->back().literal += c;
    ++i;
  }
  return true;
}

bool IsSeparatorText(const std::string& text) {
  for (char c : text) {
    if (c != ' ' && !std::ispunct(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// Removes the conversions in drop, each with the separator text that follows
// it (or, with preferPreceding or at the end, the one before it).
void Drop(std::vector<Item>* items, std::string_view drop, bool preferPreceding) {
  for (size_t i = 0; i < items->size();) {
    char c = (*items)[i].conversion;
    if (c == 0 || drop.find(c) == std::string_view::npos) {
      ++i;
      continue;
    }
    bool hasAfter = i + 1 < items->size() && (*items)[i + 1].conversion == 0 &&
                    IsSeparatorText((*items)[i + 1].literal);
    bool hasBefore =
        i > 0 && (*items)[i - 1].conversion == 0 && IsSeparatorText((*items)[i - 1].literal);
    size_t first = i, last = i + 1;
    if (hasAfter && !(preferPreceding && hasBefore)) {
      last = i + 2;
    } else if (hasBefore) {
      first = i - 1;
    }
    items->erase(items->begin() + first, items->begin() + last);
    i = first;
  }
}

std::string PatternOf(char c, bool noPad) {
  switch (c) {
    case 'd':
      return noPad ? "d" : "dd";
    case 'e':
      return "d";
    case 'm':
      return noPad ? "M" : "MM";
    case 'b':
    case 'h':
      return "MMM";
    case 'B':
      return "MMMM";
    case 'a':
      return "ddd";
    case 'A':
      return "dddd";
    case 'y':
      return "yy";
    case 'Y':
      return "yyyy";
    case 'H':
      return noPad ? "H" : "HH";
    case 'k':
      return "H";
    case 'I':
      return noPad ? "h" : "hh";
    case 'l':
      return "h";
    case 'M':
      return "mm";
    case 'S':
      return "ss";
    default:  // p, P
      return "tt";
  }
}

// Letters and quotes are quoted so that they stay text; blanks and
// punctuation stay bare and become separator positions.
std::string Emit(const std::vector<Item>& items) {
  std::string pattern;
  bool quoted = false;
  auto quote = [&](bool on) {
    if (quoted != on) pattern += '\'';
    quoted = on;
  };
  for (const Item& item : items) {
    if (item.conversion != 0) {
      quote(false);
      pattern += PatternOf(item.conversion, item.noPad);
      continue;
    }
    for (char c : item.literal) {
      quote(c == '\'' || std::isalnum(static_cast<unsigned char>(c)));
      pattern += c == '\'' ? "''" : std::string(1, c);
    }
  }
  quote(false);
  size_t begin = pattern.find_first_not_of(' ');
  if (begin == std::string::npos) return {};
  return pattern.substr(begin, pattern.find_last_not_of(' ') - begin + 1);
}

std::string Convert(std::string_view format, std::string_view drop, bool preferPreceding) {
  std::vector<Item> items;
  if (!Tokenize(format, &items)) return {};
  Drop(&items, drop, preferPreceding);
  bool anyConversion = false;
  for (const Item& item : items) {
    if (item.conversion == 'Z' || item.conversion == 'z') return {};  // no zone in a picture
    anyConversion = anyConversion || item.conversion != 0;
  }
  return anyConversion ? Emit(items) : std::string();
}

bool IsPlainC(std::string_view name) {
  return name.empty() || name == "C" || name == "POSIX" || name.substr(0, 2) == "C.";
}

void Use(const std::string& pattern, std::string* target) {
  if (!pattern.empty()) *target = pattern;
}

}  // namespace

std::string PatternFromStrftime(std::string_view format) { return Convert(format, {}, false); }

std::string DatePatternFromStrftime(std::string_view format) {
  return Convert(format, kTimeConversions, false);
}

std::string ShortTimePatternFromStrftime(std::string_view format) {
  return Convert(format, "S", true);
}

LocaleFormats ReadLocaleFormats(const char* localeName) {
  LocaleFormats formats;
  locale_t locale = newlocale(LC_TIME_MASK, localeName, static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) return formats;
  if (!IsPlainC(nl_langinfo_l(_NL_LOCALE_NAME(LC_TIME), locale))) {
    Use(PatternFromStrftime(nl_langinfo_l(D_FMT, locale)), &formats.shortDate);
    Use(DatePatternFromStrftime(nl_langinfo_l(_DATE_FMT, locale)), &formats.longDate);
    std::string_view timeFormat = nl_langinfo_l(T_FMT, locale);
    Use(ShortTimePatternFromStrftime(timeFormat), &formats.shortTime);
    Use(PatternFromStrftime(timeFormat), &formats.longTime);
  }
  freelocale(locale);
  return formats;
}

}  // namespace ledora::runtime
