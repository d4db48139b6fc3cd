#include "runtime/qtreport/text_layouts.h"

#include <gtest/gtest.h>

#include "runtime/qtreport/page_painter.h"

namespace ledora::runtime {
namespace {

// Texts that drawText treats in its own ways: cut at a rectangle too narrow
// or too low, centred and right-aligned beyond both edges, trailing blanks,
// line breaks and tabs, nothing at all, underlined, and white backgrounds
// with and without something beneath.
PageImage AwkwardTexts() {
  PageImage page;
  page.number = 1;
  page.width = 4000;
  page.height = 3000;
  page.fonts = {{"Arial", 400, 10, 0},
                {"Arial", 700, 28, 0xFF},
                {"Arial", report_values::FontUnderline | 400, 12, 0}};
  auto text = [&page](int32_t y, int32_t width, int32_t height, uint8_t align, std::string shown,
                      uint16_t font = 0, int32_t fill = 0xFFFFFF) {
    PageItem item;
    item.x = 1000, item.y = y, item.width = width, item.height = height;
    item.align = align, item.font = font, item.fill = fill, item.text = std::move(shown);
    page.items.push_back(item);
  };
  PageItem box;
  box.kind = ItemBox;
  box.x = 900, box.y = 2400, box.width = 2000, box.height = 400, box.fill = 0xC0C0C0;
  page.items.push_back(box);
  text(100, 600, 200, AlignLeft, "A text far wider than its rectangle");
  text(350, 600, 200, AlignRight, "Right and wider than its place");
  text(600, 600, 200, AlignCentre, "Centred and wider than its place");
  text(850, 2000, 150, AlignLeft, "Too tall", 1);
  text(1200, 2000, 200, AlignRight, "Trailing blanks   ");
  text(1450, 2000, 200, AlignCentre, "Line\nbreak\tand tab\r");
  text(1700, 2000, 200, AlignLeft, "");
  text(1950, 2000, 220, AlignRight, "Underlined", 2);
  text(2450, 1500, 200, AlignLeft, "On a grey box");
  text(2700, 1500, 200, AlignRight, "Own fill", 0, 0x00FFFF);
  return page;
}

QImage Drawn(const PageImage& page, TextLayouts* layouts) {
  QImage image(2000, 1500, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  PagePainter::Paint(page, painter, QRectF(0, 0, 2000, 1500), layouts);
  return image;
}

TEST(TextLayoutsTest, SharedLayoutsDrawEveryPixelAsDrawTextDoes) {
  PageImage page = AwkwardTexts();
  TextLayouts layouts;
  QImage plain = Drawn(page, nullptr);
  EXPECT_TRUE(Drawn(page, &layouts) == plain);
  // Drawn again from the layouts made the first time.
  EXPECT_TRUE(Drawn(page, &layouts) == plain);
  EXPECT_FALSE(plain ==
               Drawn(PageImage{page.number, page.width, page.height, page.fonts, {}, 0}, nullptr));
}

}  // namespace
}  // namespace ledora::runtime
