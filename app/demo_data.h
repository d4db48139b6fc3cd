// Sample customers, items and invoices for a first look at the program:
// `ledora --demo` fills an empty data folder with them. Works through the
// invoicing dictionary's file managers, so DictionarySetup must have run.
#pragma once

#include <cstdint>

namespace ledora::app {

enum DemoResult : uint8_t {
  DemoFilled = 0,
  DemoNotEmpty = 1,  // some file already held records; nothing was added
  DemoFailed = 2,    // a file could not be opened or a record not written
};

struct DemoSize {
  int customers = 50;
  int items = 30;
  int invoices = 100;
  int maxLines = 8;  // each invoice gets 1 to maxLines lines
};

// Adds the sample records when all four files are empty. Invoice dates fall
// within the two years up to today (a standard date); the same seed gives
// the same data. An invoice's sales amount is the sum of its lines.
DemoResult FillDemoData(int32_t today, uint32_t seed = 1, const DemoSize& size = DemoSize());

}  // namespace ledora::app
