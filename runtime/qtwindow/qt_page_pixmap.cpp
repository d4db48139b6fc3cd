#include "runtime/qtwindow/qt_page_pixmap.h"

#include <algorithm>

#include "runtime/qtreport/page_painter.h"

namespace ledora::runtime {

bool IsPageImageFile(const std::string& fileName) {
  constexpr std::string_view kExtension = ".ldpg";
  return fileName.size() > kExtension.size() &&
         fileName.compare(fileName.size() - kExtension.size(), kExtension.size(), kExtension) == 0;
}

QPixmap PagePixmap(const std::string& fileName, int pixelWidth) {
  QImage page;
  if (!PagePainter::RenderFile(fileName, std::max(1, pixelWidth), &page)) return {};
  return QPixmap::fromImage(page);
}

}  // namespace ledora::runtime
