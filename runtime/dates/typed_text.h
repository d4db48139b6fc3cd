// Splits text a user typed into a date or time entry into its words: runs of
// digits and runs of letters, with everything else taken as separators.
// DatePicture and TimePicture read values back from these words.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ledora::runtime {

struct TypedWord {
  bool digits = false;
  std::string_view text;
};

// Bytes above 127 count as letters, so that they make the text unreadable
// instead of passing as separators.
std::vector<TypedWord> SplitTypedText(std::string_view text);

// Drops letter words equal to one of words (any letter case).
void DropWords(const std::vector<std::string>& words, std::vector<TypedWord>* typed);

// The value of a run of at most maxDigits digits, or -1.
int WordNumber(const TypedWord& word, size_t maxDigits);

}  // namespace ledora::runtime
