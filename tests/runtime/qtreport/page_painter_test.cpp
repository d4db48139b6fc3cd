#include "runtime/qtreport/page_painter.h"

#include <gtest/gtest.h>

#include <fstream>

#include "runtime/qtreport/printer_output.h"
#include "runtime/qtreport/qt_font_metrics.h"
#include "runtime/qtreport/qt_report_types.h"
#include "runtime/report/page_image_writer.h"
#include "runtime/report/report_error.h"
#include "runtime/system/runtime_error.h"
#include "tests/support/temp_folder.h"

namespace ledora::runtime {
namespace {

// A 1000 x 1000 page: rendered 100 pixels wide, ten thousandths of an inch make a pixel.
PageImage SmallPage() {
  PageImage page;
  page.number = 1;
  page.width = 1000;
  page.height = 1000;
  page.fonts = {{"Arial", 400, 20, 0}};
  PageItem box;
  box.kind = ItemBox;
  box.x = 100;
  box.y = 100;
  box.width = 300;
  box.height = 300;
  box.color = 0;
  box.fill = 0xFF0000;  // blue: colours are 0x00BBGGRR
  PageItem text;
  text.x = 500;
  text.y = 500;
  text.width = 400;
  text.height = 300;
  text.text = "MMM";
  PageItem line;
  line.kind = ItemLine;
  line.x = 0;
  line.y = 950;
  line.width = 1000;
  line.color = 0x0000FF;  // red
  page.items = {box, text, line};
  return page;
}

bool Dark(QRgb pixel) { return qGray(pixel) < 128; }

TEST(QtReportTest, RendersBoxesTextAndLinesWhereThePageSays) {
  QImage image = PagePainter::Render(SmallPage(), 100);
  ASSERT_EQ(image.size(), QSize(100, 100));
  EXPECT_EQ(QColor(image.pixel(25, 25)), QColor(0, 0, 255));
  EXPECT_EQ(QColor(image.pixel(5, 5)), QColor(Qt::white));
  int inked = 0;
  for (int y = 50; y < 80; ++y) {
    for (int x = 50; x < 90; ++x) inked += Dark(image.pixel(x, y));
  }
  EXPECT_GT(inked, 20);              // the letters
  QColor line(image.pixel(50, 95));  // a fine line covers part of its pixel: pink, not white
  EXPECT_GT(line.red(), line.green() + 60);
  EXPECT_EQ(line.green(), line.blue());
}

TEST(QtReportTest, RendersAPageFileAndRefusesADamagedOne) {
  testing::TempFolder folder;
  std::string file = folder.File("p.ldpg");
  ASSERT_TRUE(PageImageWriter::WriteFile(SmallPage(), file));
  QImage image;
  ASSERT_TRUE(PagePainter::RenderFile(file, 50, &image));
  EXPECT_EQ(image.width(), 50);

  std::string bytes = PageImageWriter::Encode(SmallPage());
  bytes[bytes.size() / 2] ^= 1;
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
  std::string error;
  EXPECT_FALSE(PagePainter::RenderFile(file, 50, &image, &error));
  EXPECT_NE(error.find("checksum"), std::string::npos);
  EXPECT_EQ(CurrentError().code, ErrorPageImageUnreadable);
}

TEST(QtReportTest, ImagesComeFromTheirFileWhateverTheLetterCase) {
  testing::TempFolder folder;
  QImage red(10, 10, QImage::Format_RGB32);
  red.fill(Qt::red);
  ASSERT_TRUE(red.save(QString::fromStdString(folder.File("Logo.png"))));
  PageImage page = SmallPage();
  PageItem image;
  image.kind = ItemImage;
  image.x = 600;
  image.y = 100;
  image.width = 300;
  image.height = 300;
  image.text = folder.File("LOGO.PNG");
  PageItem missing = image;
  missing.y = 500;
  missing.text = folder.File("gone.png");
  page.items = {image, missing};
  QImage shown = PagePainter::Render(page, 100);
  EXPECT_EQ(QColor(shown.pixel(75, 25)), QColor(Qt::red));
  EXPECT_EQ(QColor(shown.pixel(75, 65)),
            QColor(Qt::white));  // a missing file leaves its place empty
}

TEST(QtReportTest, PrintingWithoutAPrinterFailsWithPrinterNotAvailable) {
  if (PrinterOutput::HasDefaultPrinter()) GTEST_SKIP() << "this machine has a printer";
  PrinterOutput printer;
  ClearError();
  EXPECT_FALSE(printer.BeginDocument("Customers"));
  EXPECT_EQ(CurrentError().code, ErrorPrinterNotAvailable);
  EXPECT_FALSE(printer.WritePage(SmallPage()));
  EXPECT_TRUE(printer.EndDocument());
}

TEST(QtReportTest, DesignFontNamesMapToInstalledFamilies) {
  EXPECT_EQ(FontFamily("Arial"), "Liberation Sans");
  EXPECT_EQ(FontFamily("arial "), "Liberation Sans");
  EXPECT_EQ(FontFamily("Times New Roman"), "Liberation Serif");
  EXPECT_EQ(FontFamily("Courier New"), "Liberation Mono");
  EXPECT_EQ(FontFamily("MS Sans Serif"), "DejaVu Sans");
  EXPECT_EQ(FontFamily("DejaVu Serif"), "DejaVu Serif");
  EXPECT_EQ(FontFamily("No Such Font"), "Liberation Sans");
  EXPECT_EQ(FontFamily(""), "Liberation Sans");

  QFont font = ToQFont({"Arial", FontWeightBold | FontItalic | FontUnderline, 12, 0});
  EXPECT_EQ(font.family(), "Liberation Sans");
  EXPECT_EQ(font.weight(), QFont::Bold);
  EXPECT_TRUE(font.italic());
  EXPECT_TRUE(font.underline());
  EXPECT_EQ(font.pixelSize(), 167);  // 12 points in thousandths of an inch
  EXPECT_EQ(ToQFont({"Arial", FontItalic, 10, 0}).weight(), QFont::Normal);
}

TEST(QtReportTest, MeasuresWithTheRealProportionalFonts) {
  QtFontMetrics metrics;
  ReportFont arial{"Arial", 400, 10, 0};
  ReportFont bold{"Arial", 700, 10, 0};
  ReportFont big{"Arial", 400, 20, 0};
  EXPECT_GT(metrics.TextWidth(arial, "WWWW"), 2 * metrics.TextWidth(arial, "iiii"));
  EXPECT_GT(metrics.TextWidth(bold, "Invoice"), metrics.TextWidth(arial, "Invoice"));
  EXPECT_NEAR(metrics.TextWidth(big, "Invoice"), 2 * metrics.TextWidth(arial, "Invoice"), 4);
  // Liberation Sans matches Arial's advance widths: 'W' is 0.944 em.
  EXPECT_NEAR(metrics.TextWidth(arial, "W"), 131, 2);
  EXPECT_GT(metrics.LineHeight(arial), 139);
  EXPECT_LT(metrics.LineHeight(arial), 180);
}

}  // namespace
}  // namespace ledora::runtime
