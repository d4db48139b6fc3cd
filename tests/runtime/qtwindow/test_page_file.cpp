#include "tests/runtime/qtwindow/test_page_file.h"

#include "runtime/report/page_image_writer.h"

namespace ledora::testing {

bool WriteTestPage(const std::string& fileName, const std::string& text) {
  runtime::PageImage page;
  page.number = 1;
  page.width = 8500;
  page.height = 11000;
  page.fonts.push_back({"Arial", 400, 12, 0});
  runtime::PageItem item;
  item.kind = runtime::ItemText;
  item.x = 1000;
  item.y = 1000;
  item.width = 3000;
  item.height = 250;
  item.text = text;
  page.items.push_back(item);
  return runtime::PageImageWriter::WriteFile(page, fileName);
}

}  // namespace ledora::testing
