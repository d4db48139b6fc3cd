// A field control given the pseudo-field "Pagenumber" in the control
// properties dialog prints the number of its page.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "designer/designer_text_table.h"
#include "designer/property_dialogs.h"
#include "runtime/window/headless_driver.h"
#include "tests/layout_pdf/design_pdf.h"

namespace ledora::layout {
namespace {

TEST(PageNumberPdfTest, ThePagenumberFieldPrintsEachPagesNumber) {
  ShippedDesignFiles files;
  ASSERT_TRUE(files.ok());
  std::unique_ptr<DesignState> state = files.Load(1, "Customer list");
  ASSERT_NE(state, nullptr);
  // The design's own page numbers go, so only the new control can print one.
  for (auto& band : state->BANDS) {
    std::erase_if(band->BANDCONTROLS, [](const std::unique_ptr<ControlEntry>& c) {
      return c->FIELDNAME == designer::kPageNumberField;
    });
  }

  designer::DesignerTexts().Load();
  runtime::Scheduler scheduler;
  runtime::HeadlessPresenter presenter;
  runtime::HeadlessDriver driver(scheduler, presenter);
  std::unique_ptr<ControlEntry> control = state->NewControl(KindField);
  control->CTRL->Place(0, 0, 2000, -1);
  bool placed = false;
  driver.Start([&] { placed = designer::ControlProperties(*control, {}, true); });
  driver.ChooseRow(designer::CtlField, 1);  // "Pagenumber"
  driver.Press(designer::CtlOk);
  ASSERT_TRUE(placed);
  state->AddBand(3);
  state->Band(3)->BANDCONTROLS.push_back(std::move(control));
  ASSERT_TRUE(files.Save(*state));

  std::string value = "Customer";
  ASSERT_TRUE(files.Print(1, "Customer list", 1, BindEvery(&value), "pages.pdf", 200));
  const std::string pdf = files.folder.File("pages.pdf");
  auto page = [&](int n) {
    std::string number = std::to_string(n);
    return CommandOutput("pdftotext -f " + number + " -l " + number + " '" + pdf + "' -");
  };
  EXPECT_NE(page(3).find("Page 3"), std::string::npos) << page(3);
  EXPECT_EQ(page(3).find("Page 2"), std::string::npos);
  EXPECT_NE(page(1).find("Page 1"), std::string::npos);
}

}  // namespace
}  // namespace ledora::layout
