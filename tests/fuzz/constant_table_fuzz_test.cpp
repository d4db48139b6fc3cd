#include <gtest/gtest.h>

#include <random>
#include <string>

#include "framework/constant_table.h"

namespace ledora::framework {
namespace {

// Destinations of every kind a table may fill, reused across iterations.
struct Destinations {
  char shortString[4];
  std::string text;
  uint8_t byte = 0;
  int16_t shortValue = 0;
  int32_t longValue = 0;
  double real = 0;

  runtime::FieldRef Pick(unsigned which) {
    switch (which % 7) {
      case 0:
        return runtime::FieldRef::Of(shortString);
      case 1:
        return runtime::FieldRef::Of(text);
      case 2:
        return runtime::FieldRef::Of(byte);
      case 3:
        return runtime::FieldRef::Of(shortValue);
      case 4:
        return runtime::FieldRef::Of(longValue);
      case 5:
        return runtime::FieldRef::Of(real);
      default:
        return runtime::FieldRef{};
    }
  }
};

TEST(ConstantTableFuzzTest, RandomSourcesEndWithinBoundsAndNeverRunAway) {
  std::mt19937 random(1801);
  Destinations to;
  for (int iteration = 0; iteration < 5000; ++iteration) {
    ConstantTable table;
    table.Initialize(static_cast<uint8_t>(random() % 6));
    table.ITEMS = static_cast<uint16_t>(random() % 40);
    int items = random() % 6;
    for (int i = 0; i < items; ++i) {
      table.AddItem(static_cast<uint8_t>(random() % 8), to.Pick(random()));
    }
    table.TERMINATORVALUE = std::string(1, static_cast<char>('0' + random() % 3));
    std::string source(random() % 64, '\0');
    for (char& c : source) c = static_cast<char>(random() % 4 == 0 ? '0' + random() % 3 : random());
    table.SetSource(source);

    // Every item takes at least one byte, so no table has more records than bytes.
    size_t records = 0;
    while (table.Next() == data::SeverityNone && records <= source.size()) {
      ++records;
      ASSERT_GE(table.CHARPNT, 1);
      ASSERT_LE(table.CHARPNT - 1, table.SOURCESIZE);
    }
    EXPECT_LE(records, source.size());
    EXPECT_EQ(table.Next(), data::SeverityInform);
  }
}

}  // namespace
}  // namespace ledora::framework
