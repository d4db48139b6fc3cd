// A report page on screen, for image controls that show one: the page image
// file drawn by the report engine's page painter at the width asked for,
// scrolled to keep a point of the page in the middle, with highlighted
// rectangles over it. Pages are rendered through a cache shared by all
// page widgets, so a page shown again at the same width is not drawn again.
#pragma once

#include <QImage>
#include <QLabel>
#include <QRectF>
#include <QScrollArea>
#include <functional>
#include <list>
#include <string>
#include <vector>

namespace ledora::runtime {

// Rendered pages, by file, offset in it and pixel width, the most recently used first.
class QtPageCache {
 public:
  struct Page {
    std::string file;
    int64_t offset = 0;
    int pixelWidth = 0;
    QImage image;
    double pixelsPerMil = 0;  // image pixels per thousandth of an inch
  };
  // Null when the file cannot be read (a damaged page shows as blank).
  const Page* Get(const std::string& file, int64_t offset, int pixelWidth);
  size_t renders() const { return renders_; }

 private:
  static constexpr size_t kCapacity = 48;
  std::list<Page> pages_;
  size_t renders_ = 0;
};

class QtPageWidget : public QScrollArea {
 public:
  struct Mark {
    QRectF rect;  // thousandths of an inch on the page
    bool current = false;
  };
  // clicked: a press on the page, its point in pixels of the drawn page.
  using Clicked = std::function<void(QPoint, Qt::MouseButton)>;

  QtPageWidget(QWidget* parent, QtPageCache& cache, Clicked clicked);

  // pixelWidth 0: as wide as the widget. centreX/Y: percent of the page.
  void ShowPage(const std::string& file, int64_t offset, int pixelWidth, int centreX, int centreY,
                std::vector<Mark> marks);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Centre();

  QtPageCache& cache_;
  Clicked clicked_;
  QLabel* label_;
  std::string file_;
  int64_t offset_ = -1;
  int pixelWidth_ = -1;
  int centreX_ = 0;
  int centreY_ = 0;
  std::vector<Mark> marks_;
};

}  // namespace ledora::runtime
