#include "runtime/qtwindow/qt_page_widget.h"

#include "tests/runtime/qtwindow/qt_window_fixture.h"
#include "tests/runtime/qtwindow/test_page_file.h"
#include "tests/support/temp_folder.h"

namespace ledora::runtime {
namespace {

class QtPageWidgetTest : public QtWindowFixture {
 protected:
  void SetUp() override { ASSERT_TRUE(testing::WriteTestPage(page, "Invoice 12")); }
  void TearDown() override {
    w.Post(EventCloseWindow);
    Pump([&] { return !scheduler.HasThreads(); });
  }

  testing::TempFolder folder;
  std::string page = folder.File("page1.ldpg");
  Window w;
};

TEST_F(QtPageWidgetTest, APageIsRenderedOncePerWidth) {
  QtPageCache cache;
  const QtPageCache::Page* first = cache.Get(page, 0, 400);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->image.width(), 400);
  EXPECT_EQ(first->image.height(), 400 * 11000 / 8500);
  cache.Get(page, 0, 400);
  EXPECT_EQ(cache.renders(), 1u);
  cache.Get(page, 0, 800);
  EXPECT_EQ(cache.renders(), 2u);
  EXPECT_EQ(cache.Get(folder.File("missing.ldpg"), 0, 400), nullptr);
}

TEST_F(QtPageWidgetTest, AnImageControlShowsItsPageWithTheMarksOverIt) {
  w.SetUnit(UnitPixels);
  w.SetSize(500, 700);
  w.CreateControl(1, ControlImage);
  w.SetRect(1, {10, 10, 425, 550});
  ASSERT_TRUE(OpenOnThread(w));
  w.SetPageImage(1, page, 425);
  // The mark covers the text's line, one to four inches in from the left.
  w.SetPageMarks(1, {{1000, 1000, 3000, 250, true}});
  ASSERT_TRUE(Pump([&] { return dynamic_cast<QtPageWidget*>(View(w)->WidgetOf(1)) != nullptr; }));
  auto* shown = dynamic_cast<QtPageWidget*>(View(w)->WidgetOf(1));
  auto* label = qobject_cast<QLabel*>(shown->widget());
  ASSERT_NE(label, nullptr);
  QImage image = label->pixmap().toImage();
  EXPECT_EQ(image.width(), 425);
  QColor marked = image.pixelColor(425 * 3000 / 8500, 425 * 1020 / 8500);
  EXPECT_GT(marked.red(), 200);
  EXPECT_LT(marked.blue(), 200) << "the mark is not drawn";
  QColor plain = image.pixelColor(425 * 3000 / 8500, 425 * 5000 / 8500);
  EXPECT_EQ(plain, QColor(Qt::white));
  EXPECT_EQ(presenter.pageCache().renders(), 1u);
}

}  // namespace
}  // namespace ledora::runtime
