#include "runtime/dates/typed_text.h"

#include <algorithm>
#include <cctype>

#include "runtime/system/ascii_case.h"

namespace ledora::runtime {
namespace {

enum CharClass { ClassOther, ClassDigit, ClassLetter };

CharClass Classify(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  if (u >= '0' && u <= '9') return ClassDigit;
  if (u >= 0x80 || std::isalpha(u)) return ClassLetter;
  return ClassOther;
}

}  // namespace

std::vector<TypedWord> SplitTypedText(std::string_view text) {
  std::vector<TypedWord> words;
  size_t i = 0;
  while (i < text.size()) {
    CharClass cls = Classify(text[i]);
    if (cls == ClassOther) {
      ++i;
      continue;
    }
    size_t start = i;
    while (i < text.size() && Classify(text[i]) == cls) ++i;
    words.push_back({cls == ClassDigit, text.substr(start, i - start)});
  }
  return words;
}

void DropWords(const std::vector<std::string>& words, std::vector<TypedWord>* typed) {
  std::erase_if(*typed, [&words](const TypedWord& w) {
    if (w.digits) return false;
    return std::any_of(words.begin(), words.end(), [&w](const std::string& word) {
      return EqualIgnoringAsciiCase(word, w.text);
    });
  });
}

int WordNumber(const TypedWord& word, size_t maxDigits) {
  if (!word.digits || word.text.empty() || word.text.size() > maxDigits) return -1;
  int value = 0;
  for (char c : word.text) value = value * 10 + (c - '0');
  return value;
}

}  // namespace ledora::runtime
