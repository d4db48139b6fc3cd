#include <gtest/gtest.h>

#include <random>
#include <string>

#include "runtime/report/page_image_reader.h"
#include "runtime/report/page_image_writer.h"

namespace ledora::runtime {
namespace {

PageImage Seed() {
  PageImage page;
  page.number = 3;
  page.width = 8268;
  page.height = 11693;
  page.fonts = {{"Arial", 700, 10, 0}, {"MS Sans Serif", 0x1000 | 400, 8, 0xFF}};
  for (int i = 0; i < 6; ++i) {
    PageItem item;
    item.kind = static_cast<PageItemKind>(1 + i % 5);
    item.x = 100 * i;
    item.y = 200 * i;
    item.width = 1000;
    item.height = 150;
    item.font = static_cast<uint16_t>(i % 2);
    item.text = std::string(static_cast<size_t>(i * 3), static_cast<char>('a' + i));
    page.items.push_back(item);
  }
  return page;
}

// Flips, overwrites, cuts or inserts a few bytes.
void Mutate(std::string& bytes, std::mt19937& random) {
  int edits = std::uniform_int_distribution<int>(1, 4)(random);
  for (int e = 0; e < edits && !bytes.empty(); ++e) {
    size_t at = std::uniform_int_distribution<size_t>(0, bytes.size() - 1)(random);
    switch (random() % 4) {
      case 0:
        bytes[at] = static_cast<char>(bytes[at] ^ (1 << (random() % 8)));
        break;
      case 1:
        bytes[at] = static_cast<char>(random() % 2 ? 0xFF : 0x00);
        break;
      case 2:
        bytes.resize(at);
        break;
      default:
        bytes.insert(at, std::string(random() % 9, static_cast<char>(random())));
    }
  }
}

// Whatever the reader accepts must be a page it can write and read again unchanged.
void CheckDecode(const std::string& bytes) {
  PageImage page;
  std::string error;
  if (PageImageReader::Decode(bytes, &page, &error)) {
    PageImage again;
    ASSERT_TRUE(PageImageReader::Decode(PageImageWriter::Encode(page), &again, &error)) << error;
    ASSERT_EQ(again, page);
    for (const PageItem& item : page.items) {
      if (item.kind == ItemText) {
        ASSERT_LT(item.font, page.fonts.size());
      }
    }
  } else {
    ASSERT_FALSE(error.empty());
  }
}

TEST(PageImageFuzzTest, DamagedFilesAreRefusedOrReadConsistently) {
  std::mt19937 random(20261207);
  std::string file = PageImageWriter::Encode(Seed());
  std::string payload = file.substr(kPageImageHeaderSize);
  for (int i = 0; i < 20000; ++i) {
    std::string damaged = file;
    Mutate(damaged, random);
    CheckDecode(damaged);
    // Resealed, the damage gets past the checksum into the structure checks.
    std::string body = payload;
    Mutate(body, random);
    CheckDecode(PageImageWriter::Seal(body));
  }
}

TEST(PageImageFuzzTest, RandomBytesBehindAValidHeaderAreRefused) {
  std::mt19937 random(7);
  int accepted = 0;
  for (int i = 0; i < 20000; ++i) {
    std::string body(random() % 200, '\0');
    for (char& c : body) c = static_cast<char>(random());
    PageImage page;
    std::string error;
    accepted += PageImageReader::Decode(PageImageWriter::Seal(body), &page, &error);
  }
  EXPECT_LT(accepted, 200);  // an accepted page must have been well formed by chance
}

}  // namespace
}  // namespace ledora::runtime
