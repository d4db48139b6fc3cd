#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "runtime/report/page_image_reader.h"
#include "runtime/report/page_image_writer.h"
#include "runtime/report/report_error.h"
#include "runtime/system/runtime_error.h"
#include "tests/support/temp_folder.h"

namespace ledora::runtime {
namespace {

PageImage SamplePage() {
  PageImage page;
  page.number = 7;
  page.width = 8268;
  page.height = 11693;
  page.fonts = {{"Arial", 700, 10, 0}, {"Times New Roman", FontItalic | 400, 12, 0xFF0000}};
  PageItem text;
  text.x = 500;
  text.y = 1000;
  text.width = 3000;
  text.height = 200;
  text.font = 1;
  text.align = AlignRight;
  text.text =
      "Gr\xFC\xDF"
      "e \x80 100";  // Windows-1252 bytes survive as they are
  PageItem box;
  box.kind = ItemBox;
  box.fill = kNoColour;
  box.flags = FlagRounded;
  box.width = -1;
  PageItem image;
  image.kind = ItemImage;
  image.text = "logo.png";
  page.items = {text, box, image};
  return page;
}

std::string Decoded(std::string_view bytes) {
  PageImage page;
  std::string error;
  EXPECT_FALSE(PageImageReader::Decode(bytes, &page, &error));
  return error;
}

// The payload of an encoded page, to forge structurally bad but sealed files.
std::string Payload(const PageImage& page) {
  return PageImageWriter::Encode(page).substr(kPageImageHeaderSize);
}

TEST(PageImageTest, RoundTripsThroughEncodingAndFiles) {
  PageImage page = SamplePage();
  PageImage back;
  std::string error;
  ASSERT_TRUE(PageImageReader::Decode(PageImageWriter::Encode(page), &back, &error)) << error;
  EXPECT_EQ(back, page);

  testing::TempFolder folder;
  ASSERT_TRUE(PageImageWriter::WriteFile(page, folder.File("p.ldpg")));
  PageImage fromFile;
  ASSERT_TRUE(PageImageReader::ReadFile(folder.File("p.ldpg"), &fromFile, &error)) << error;
  EXPECT_EQ(fromFile, page);
}

TEST(PageImageTest, TheDocumentsLengthIsSetInPlaceLater) {
  testing::TempFolder folder;
  PageImage page = SamplePage();
  ASSERT_TRUE(PageImageWriter::WriteFile(page, folder.File("p.ldpg")));
  ASSERT_TRUE(PageImageWriter::SetDocumentPages(folder.File("p.ldpg"), 70000));
  PageImage back;
  std::string error;
  ASSERT_TRUE(PageImageReader::ReadFile(folder.File("p.ldpg"), &back, &error)) << error;
  EXPECT_EQ(back.pages, 70000);
  back.pages = page.pages;
  EXPECT_EQ(back, page);
  EXPECT_FALSE(PageImageWriter::SetDocumentPages(folder.File("missing.ldpg"), 2));
  EXPECT_EQ(Decoded(PageImageWriter::Seal(Payload(page), -1)),
            "page image damaged: negative page count");
}

TEST(PageImageTest, RefusesTruncatedFilesAtEveryLength) {
  std::string bytes = PageImageWriter::Encode(SamplePage());
  for (size_t length = 0; length < bytes.size(); ++length) {
    std::string error = Decoded(std::string_view(bytes).substr(0, length));
    EXPECT_FALSE(error.empty()) << length;
    if (length >= kPageImageHeaderSize) {
      EXPECT_NE(error.find("truncated"), std::string::npos);
    }
  }
}

TEST(PageImageTest, RefusesDamagedHeaderAndPayload) {
  std::string bytes = PageImageWriter::Encode(SamplePage());
  EXPECT_EQ(Decoded("%PDF-1.4 something else"), "not a page image file");

  std::string future = bytes;
  future[4] = kPageImageVersion + 1;
  EXPECT_EQ(Decoded(future),
            "unsupported page image version " + std::to_string(kPageImageVersion + 1));

  std::string flipped = bytes;
  flipped[bytes.size() - 3] ^= 0x20;
  EXPECT_EQ(Decoded(flipped), "page image damaged: checksum does not match");

  EXPECT_EQ(Decoded(bytes + "x"), "page image has bytes after its end");
}

TEST(PageImageTest, RefusesSealedPayloadsThatBreakTheStructure) {
  PageImage page = SamplePage();
  page.items[0].font = 2;  // only two fonts
  EXPECT_NE(Decoded(PageImageWriter::Encode(page)).find("font index out of range"),
            std::string::npos);

  page = SamplePage();
  page.width = 0;
  EXPECT_NE(Decoded(PageImageWriter::Encode(page)).find("paper size"), std::string::npos);

  // A count far beyond the bytes present must not make the reader allocate or read on.
  std::string payload = Payload(SamplePage());
  size_t itemCountAt = 12 + 2 + (2 + 5 + 12) + (2 + 15 + 12);
  payload.replace(itemCountAt, 4, "\xFF\xFF\xFF\x7F", 4);
  EXPECT_EQ(Decoded(PageImageWriter::Seal(payload)), "page image damaged: item count");

  payload = Payload(SamplePage());
  payload[12 + 2 + 2] = 'X';  // corrupts nothing structural: still a valid page
  PageImage back;
  std::string error;
  EXPECT_TRUE(PageImageReader::Decode(PageImageWriter::Seal(payload), &back, &error)) << error;
  EXPECT_EQ(back.fonts[0].name, "Xrial");
}

TEST(PageImageTest, RefusesUnknownItemKindAndAlignment) {
  PageImage page = SamplePage();
  page.items[1].kind = static_cast<PageItemKind>(9);
  EXPECT_NE(Decoded(PageImageWriter::Encode(page)).find("item 2: unknown item kind"),
            std::string::npos);
  page = SamplePage();
  page.items[0].align = 3;
  EXPECT_NE(Decoded(PageImageWriter::Encode(page)).find("unknown alignment"), std::string::npos);
}

TEST(PageImageTest, ReadingADamagedFileSetsTheRuntimeError) {
  testing::TempFolder folder;
  std::string bytes = PageImageWriter::Encode(SamplePage());
  std::ofstream(folder.File("cut.ldpg"), std::ios::binary) << bytes.substr(0, bytes.size() / 2);
  PageImage page;
  std::string error;
  ClearError();
  EXPECT_FALSE(PageImageReader::ReadFile(folder.File("cut.ldpg"), &page, &error));
  EXPECT_NE(error.find("cut.ldpg: page image truncated"), std::string::npos);
  EXPECT_EQ(CurrentError().code, ErrorPageImageUnreadable);
  EXPECT_EQ(CurrentError().fileErrorText, error);

  EXPECT_FALSE(PageImageReader::ReadFile(folder.File("missing.ldpg"), &page, &error));
  EXPECT_EQ(CurrentError().code, ErrorFileNotFound);
}

}  // namespace
}  // namespace ledora::runtime
