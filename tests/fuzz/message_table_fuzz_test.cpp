#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>
#include <vector>

#include "data/error_reporter.h"
#include "data/message_table.h"

namespace ledora::data {
namespace {

std::vector<uint8_t> RandomTable(std::mt19937& rng) {
  std::uniform_int_distribution<int> byte(0, 255), count(0, 4), length(0, 12);
  std::vector<std::string> texts;
  std::vector<MessageDefinition> definitions;
  texts.reserve(16);
  for (int i = count(rng); i > 0; --i) {
    std::string title(length(rng), 'a' + byte(rng) % 26), text(length(rng), char(byte(rng)));
    texts.push_back(title);
    texts.push_back(text);
    definitions.push_back({uint16_t(byte(rng) << 8 | byte(rng)), uint8_t(byte(rng)),
                           texts[texts.size() - 2], texts.back()});
  }
  std::vector<uint8_t> block;
  EXPECT_EQ(PackMessageTable(definitions, &block), MessageTableOk);
  return block;
}

// Damages a block the ways a stored or hand-made table goes wrong.
void Damage(std::mt19937& rng, std::vector<uint8_t>* block) {
  std::uniform_int_distribution<int> byte(0, 255), kind(0, 3);
  switch (kind(rng)) {
    case 0:
      if (!block->empty()) (*block)[rng() % block->size()] = uint8_t(byte(rng));
      break;
    case 1:
      block->resize(block->empty() ? 0 : rng() % block->size());
      break;
    case 2:
      block->push_back(uint8_t(byte(rng)));
      break;
    default:
      break;  // left intact
  }
}

TEST(MessageTableFuzzTest, ReaderNeverReadsPastTheBlockAndRejectsWhole) {
  std::mt19937 rng(20261207);
  for (int iteration = 0; iteration < 20000; ++iteration) {
    std::vector<uint8_t> block = RandomTable(rng);
    Damage(rng, &block);
    // A fresh, exactly sized copy so that AddressSanitizer sees any overread.
    std::vector<uint8_t> exact(block.begin(), block.end());
    std::vector<MessageEntry> entries(1);
    MessageTableResult result = ReadMessageTable(exact, &entries);
    if (result != MessageTableOk) {
      ASSERT_EQ(entries.size(), 1u) << iteration;
      continue;
    }
    std::vector<MessageDefinition> again;
    for (size_t i = 1; i < entries.size(); ++i) {
      again.push_back({entries[i].number, entries[i].severity, entries[i].title, entries[i].text});
    }
    std::vector<uint8_t> repacked;
    ASSERT_EQ(PackMessageTable(again, &repacked), MessageTableOk);
    ASSERT_EQ(repacked, exact) << iteration;
  }
}

// An independent statement of substitution: ordered alternatives pick the
// longest name at each place, matches are found in the original text only.
std::string Expected(const ErrorReporter& r, const std::string& text, const std::string* previous) {
  static const std::regex names(
      "%FileErrorCode|%FileError|%File|%ErrorCode|%ErrorText|%Error|%Message|%Field|%Previous");
  std::string out;
  size_t last = 0;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), names);
       it != std::sregex_iterator(); ++it) {
    out += text.substr(last, it->position() - last);
    last = it->position() + it->length();
    std::string name = it->str();
    if (name == "%File") out += r.FILENAME;
    if (name == "%ErrorCode") out += std::to_string(r.SAVEDERRORCODE);
    if (name == "%ErrorText") {
      out += r.SAVEDERRORCODE == 90
                 ? r.SAVEDFILEERRORTEXT + " (" + r.SAVEDFILEERRORCODE + ")"
                 : r.SAVEDERRORTEXT + " (" + std::to_string(r.SAVEDERRORCODE) + ")";
    }
    if (name == "%Error") out += r.SAVEDERRORTEXT;
    if (name == "%FileErrorCode") out += r.SAVEDFILEERRORCODE;
    if (name == "%FileError") out += r.SAVEDFILEERRORTEXT;
    if (name == "%Message") out += r.MESSAGETEXT.substr(0, 255);
    if (name == "%Field") out += r.FIELDNAME.substr(0, 255);
    if (name == "%Previous" && previous != nullptr) out += *previous;
  }
  out += text.substr(last);
  return out.substr(0, 2000);
}

std::string RandomText(std::mt19937& rng, size_t maxSize) {
  static const char* pieces[] = {
      "%File",      "%FileError", "%FileErrorCode", "%Error",    "%ErrorText",
      "%ErrorCode", "%Message",   "%Field",         "%Previous", "%",
      "%Err",       "%file",      "%Fil",           " ",         "x",
      "Error",      "Text",       "Code",           "%%",        "abc"};
  std::string text;
  for (int n = rng() % 40; n > 0; --n) {
    std::string piece = pieces[rng() % std::size(pieces)];
    if (rng() % 8 == 0) piece = std::string(rng() % 120, char('A' + rng() % 26));
    if (text.size() + piece.size() > maxSize) break;
    text += piece;
  }
  return text;
}

TEST(MessageTableFuzzTest, SubstitutionMatchesItsStatementWhateverTheValues) {
  std::mt19937 rng(4711);
  for (int iteration = 0; iteration < 3000; ++iteration) {
    ErrorReporter reporter;
    std::string previous = RandomText(rng, 255), current = RandomText(rng, 255);
    bool withPrevious = rng() % 2 == 0;
    std::vector<MessageDefinition> definitions;
    if (withPrevious) definitions.push_back({7, SeverityNone, "P", previous});
    definitions.push_back({8, SeverityNone, "Other", "unrelated"});
    definitions.push_back({7, SeverityNone, "C", current});
    std::vector<uint8_t> block;
    ASSERT_EQ(PackMessageTable(definitions, &block), MessageTableOk);
    ASSERT_EQ(reporter.AddMessages(block), MessageTableOk);

    reporter.FILENAME = RandomText(rng, 255);
    reporter.FIELDNAME = RandomText(rng, 300);
    reporter.MESSAGETEXT = RandomText(rng, 300);
    reporter.SAVEDERRORTEXT = RandomText(rng, 255);
    reporter.SAVEDERRORCODE = rng() % 3 == 0 ? 90 : int32_t(rng() % 1000) - 10;
    reporter.SAVEDFILEERRORTEXT = RandomText(rng, 255);
    reporter.SAVEDFILEERRORCODE = RandomText(rng, 255);

    ASSERT_EQ(reporter.TakeError(MsgRecordChangedRecallChanges), SeverityNone);
    std::string shown = reporter.Substitute();
    ASSERT_LE(shown.size(), 2000u);
    ASSERT_EQ(shown, Expected(reporter, current, withPrevious ? &previous : nullptr))
        << "iteration " << iteration << " text " << current;
  }
}

}  // namespace
}  // namespace ledora::data
