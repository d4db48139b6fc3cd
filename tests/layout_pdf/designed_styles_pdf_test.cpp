// Fonts, sizes and styles set on a design's controls as the properties box
// sets them reach the printed page: the PDF names the fonts with their
// styles and carries the texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>

#include "designer/design_canvas.h"
#include "designer/font_style.h"
#include "layout/design_database.h"
#include "runtime/values/fixed_string.h"
#include "tests/layout_pdf/design_pdf.h"

namespace ledora::layout {
namespace {

struct Styled {
  const char* text;
  const char* font;
  bool bold, italic, underline;
  int16_t size;
  uint8_t justification;  // as the box codes it: 1 left, 2 centre, 3 right
};

TEST(DesignedStylesPdfTest, EveryStyleOfTheBoxPrints) {
  ShippedDesignFiles files;
  ASSERT_TRUE(files.ok());
  std::unique_ptr<DesignState> state = files.Load(1, "Customer list");
  ASSERT_NE(state, nullptr);

  // One string per style in the page header, each styled as the box applies it.
  const std::array<Styled, 6> styles = {{
      {"Plain Sans", "Liberation Sans", false, false, false, 10, 1},
      {"Bold Sans", "Liberation Sans", true, false, false, 12, 2},
      {"Italic Serif", "Liberation Serif", false, true, false, 14, 3},
      {"Underlined Sans", "Liberation Sans", false, false, true, 10, 1},
      {"BoldItalic Serif", "Liberation Serif", true, true, false, 16, 1},
      {"All Mono", "DejaVu Sans Mono", true, true, true, 9, 1},
  }};
  BandEntry& header = *state->Band(2);
  state->AddBand(2);
  designer::DesignCanvas canvas(*state, {});
  // Below the design's own heading, so no two texts share a line.
  int32_t y = std::max(header.CTRL->HEIGHT, 0) + 200;
  for (const Styled& s : styles) {
    std::unique_ptr<ControlEntry> control = state->NewControl(KindString);
    control->CTRL->Place(0, y, 4000, 250);
    y += 300;
    ControlEntry* placed = control.get();
    header.BANDCONTROLS.push_back(std::move(control));
    canvas.Select({SelectedControl, 2, placed});
    canvas.ApplyProperties(s.font, designer::FontStyleOf(s.bold, s.italic, s.underline), s.size,
                           0x0000FF, s.justification, s.text);
  }
  header.CTRL->HEIGHT = y;
  ASSERT_TRUE(files.Save(*state));

  std::string value = "value";
  ASSERT_TRUE(files.Print(1, "Customer list", 1, BindEvery(&value), "styles.pdf"));
  const std::string pdf = files.folder.File("styles.pdf");

  std::string fonts = CommandOutput("pdffonts '" + pdf + "'");
  for (const char* name : {"+LiberationSans ", "LiberationSans-Bold ", "LiberationSerif-Italic",
                           "LiberationSerif-BoldItalic", "DejaVuSansMono-BoldOblique"}) {
    EXPECT_NE(fonts.find(name), std::string::npos) << name << " in:\n" << fonts;
  }
  std::string text = CommandOutput("pdftotext '" + pdf + "' -");
  for (const Styled& s : styles) {
    EXPECT_NE(text.find(s.text), std::string::npos) << s.text << " in:\n" << text;
  }
}

}  // namespace
}  // namespace ledora::layout
