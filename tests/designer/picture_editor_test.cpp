#include "designer/picture_editor.h"

#include <gtest/gtest.h>

#include "designer/designer_text_table.h"
#include "designer/picture_options.h"
#include "runtime/window/headless_driver.h"

namespace ledora::designer {
namespace {

PictureOptions Numeric12() {
  PictureOptions o;
  o.type = PictureTypeNumeric;
  o.totalSize = 12;
  o.places = 2;
  return o;
}

TEST(PictureOptionsTest, NumericPicturesAndExamples) {
  PictureOptions o = Numeric12();
  EXPECT_EQ(BuildPicture(o).picture, "@N12.2");
  EXPECT_EQ(BuildPicture(o).example, "<,<<<,<<#.##");

  o.grouping = PictureGroupPeriod;
  o.decimalPoint = PictureDecimalPtComma;
  EXPECT_EQ(BuildPicture(o).picture, "@N12.`2");
  EXPECT_EQ(BuildPicture(o).example, "<.<<<.<<#,##");

  o = Numeric12();
  o.sign = PictureSignLeading;
  o.filling = PictureFillAsterisk;
  BuiltPicture starred = BuildPicture(o);
  EXPECT_EQ(starred.picture, "@N-*12.2");
  EXPECT_EQ(starred.example.substr(0, 2), "-*");
  EXPECT_EQ(starred.example.find(','), std::string::npos);

  o = Numeric12();
  o.decimalPoint = PictureDecimalPtNone;
  EXPECT_EQ(BuildPicture(o).picture, "@N12V2");
  o = Numeric12();
  o.places = 0;
  EXPECT_EQ(BuildPicture(o).picture, "@N12.0");
  o = Numeric12();
  o.prefix = "$";
  EXPECT_EQ(BuildPicture(o).picture, "@N~$~12.2");
}

TEST(PictureOptionsTest, TrailingSignSuffixAndZeroFilling) {
  PictureOptions o = Numeric12();
  o.sign = PictureSignTrailing;
  o.suffix = " kg";
  o.filling = PictureFillZero;
  o.blankWhenZero = true;
  BuiltPicture built = BuildPicture(o);
  EXPECT_EQ(built.picture, "@N012.2-~ kg~B");
  // 12 less the point, two places, the sign and the suffix's three.
  EXPECT_EQ(built.example, "#####.##- kg");
  PictureOptions read = ReadPicture(built.picture);
  EXPECT_EQ(read.sign, PictureSignTrailing);
  EXPECT_EQ(read.filling, PictureFillZero);
  EXPECT_EQ(read.suffix, " kg");
  EXPECT_TRUE(read.blankWhenZero);
  EXPECT_EQ(BuildPicture(read).picture, built.picture);
}

TEST(PictureOptionsTest, ReadingNumericPictures) {
  for (const char* text : {"@N-12.2", "@n-12.2"}) {
    PictureOptions o = ReadPicture(text);
    EXPECT_EQ(o.type, PictureTypeNumeric) << text;
    EXPECT_EQ(o.sign, PictureSignLeading) << text;
    EXPECT_EQ(o.totalSize, 12) << text;
    EXPECT_EQ(o.places, 2) << text;
  }
  PictureOptions grouped = ReadPicture("@N~EUR~12..`2");
  EXPECT_EQ(grouped.prefix, "EUR");
  EXPECT_EQ(grouped.grouping, PictureGroupPeriod);
  EXPECT_EQ(grouped.decimalPoint, PictureDecimalPtComma);
  // No size: the editor's own default; a filling drops the grouping.
  PictureOptions bare = ReadPicture("@N*_");
  EXPECT_EQ(bare.totalSize, 20);
  EXPECT_EQ(bare.places, 2);
  EXPECT_EQ(bare.grouping, PictureGroupDefault);
  for (const char* text : {"@N~unclosed", "@N.", "@N~~~~", "@N99999999999999"}) {
    BuildPicture(ReadPicture(text));  // foreign pictures never break the editor
  }
}

TEST(PictureOptionsTest, DatesTimesStringsAndManual) {
  PictureOptions date;
  date.type = PictureTypeDate;
  date.dateFormat = 6;
  date.leadingZero = true;
  date.separator = 2;
  date.blankWhenZero = true;
  BuiltPicture built = BuildPicture(date, "31/10/1959");
  EXPECT_EQ(built.picture, "@D06.B");
  EXPECT_EQ(built.example, "31.10.1959");
  PictureOptions read = ReadPicture("@D06.B");
  EXPECT_EQ(read.dateFormat, 6);
  EXPECT_EQ(read.separator, 2);
  EXPECT_TRUE(read.leadingZero && read.blankWhenZero);

  PictureOptions time;
  time.type = PictureTypeTime;
  time.timeFormat = 4;
  time.separator = 4;
  built = BuildPicture(time, "11:30:45");
  EXPECT_EQ(built.picture, "@T4_");
  EXPECT_EQ(built.example, "11 30 45");
  EXPECT_EQ(ReadPicture("@t4`").separator, 5);
  EXPECT_EQ(ReadPicture("@D17").dateFormat, 1);  // beyond the list

  PictureOptions text;
  text.stringSize = 30;
  EXPECT_EQ(BuildPicture(text).picture, "@S30");
  EXPECT_EQ(BuildPicture(text).example, std::string(30, '$'));
  EXPECT_EQ(ReadPicture("@s30").stringSize, 30);

  EXPECT_EQ(ReadPicture("").type, PictureTypeString);
  PictureOptions manual = ReadPicture("@pPage <<#p");
  EXPECT_EQ(manual.type, PictureTypeManual);
  EXPECT_EQ(BuildPicture(manual).picture, "@pPage <<#p");
}

TEST(PictureEditorTest, PrintsAsShowsTheRuntimesOwnOutput) {
  EXPECT_EQ(PrintsAs("@N12.2"), "Prints as: 1,234,567.89");
  EXPECT_EQ(PrintsAs("@D6"), "Prints as: 31/10/1959");
  EXPECT_EQ(PrintsAs("@T4"), "Prints as: 11:30:45");
  EXPECT_NE(PrintsAs("@Q7").find("cannot"), std::string::npos);
}

// The dialog driven as a user would.
class PictureEditorDialogTest : public ::testing::Test {
 protected:
  PictureEditorDialogTest() { DesignerTexts().Load(); }

  void Open(std::string given) {
    picture = std::move(given);
    driver.Start([this] { accepted = EditPicture(&picture); });
    ASSERT_NE(driver.Top(), nullptr);
  }

  runtime::Scheduler scheduler;
  runtime::HeadlessPresenter presenter;
  runtime::HeadlessDriver driver{scheduler, presenter};
  std::string picture;
  bool accepted = false;
};

TEST_F(PictureEditorDialogTest, BuildsANumericPictureFromOptions) {
  Open("");
  EXPECT_EQ(driver.Top()->title(), "Field picture format");
  EXPECT_EQ(driver.Shown(PicPicture), "@S20");
  EXPECT_TRUE(driver.IsHidden(PicTotalSize));
  driver.Press(PicTypeOption + 2);  // Numeric
  EXPECT_FALSE(driver.IsHidden(PicTotalSize));
  EXPECT_TRUE(driver.IsHidden(PicStringSize));
  EXPECT_EQ(driver.Top()->FocusedControl(), PicTotalSize);
  driver.Type(PicTotalSize, "12");
  driver.ChooseRow(PicSign, 2);
  EXPECT_FALSE(driver.IsHidden(PicGrouping));
  driver.ChooseRow(PicFilling, 3);
  EXPECT_TRUE(driver.IsHidden(PicGrouping));
  EXPECT_EQ(driver.Shown(PicPicture), "@N-*12.2");
  EXPECT_EQ(driver.Shown(PicExample).substr(0, 2), "-*");
  EXPECT_EQ(driver.Shown(PicPrintsAs), "Prints as:  *1234567.89");
  driver.Press(PicOk);
  EXPECT_TRUE(accepted);
  EXPECT_EQ(picture, "@N-*12.2");
}

TEST_F(PictureEditorDialogTest, ReadsTheGivenPictureAndCancelKeepsIt) {
  Open("@d06.B");
  EXPECT_EQ(driver.Shown(PicPicture), "@D06.B");
  EXPECT_EQ(driver.Shown(PicExample), "31.10.1959");
  EXPECT_EQ(driver.Selection(PicDateList), 6);
  EXPECT_TRUE(driver.IsChecked(PicLeadingZero));
  EXPECT_FALSE(driver.IsHidden(PicSeparatorList));
  driver.ChooseRow(PicSeparatorList, 3);
  EXPECT_EQ(driver.Shown(PicPicture), "@D06-B");
  driver.Press(PicCancel);
  EXPECT_FALSE(accepted);
  EXPECT_EQ(picture, "@d06.B");
}

TEST_F(PictureEditorDialogTest, ManualPictureKeepsTheOptionsInStep) {
  Open("@pPage <<#p");
  EXPECT_FALSE(driver.IsHidden(PicManual));
  EXPECT_EQ(driver.Shown(PicManual), "@pPage <<#p");
  driver.Type(PicManual, "@N-9.2");
  EXPECT_EQ(driver.Shown(PicPicture), "@N-9.2");
  driver.Press(PicTypeOption + 2);  // Numeric picks up what was typed
  EXPECT_EQ(driver.Shown(PicTotalSize), "9");
  EXPECT_EQ(driver.Selection(PicSign), 2);
  driver.Press(PicTypeOption + 5);
  driver.Type(PicManual, "@X");
  EXPECT_NE(driver.Shown(PicPrintsAs).find("cannot"), std::string::npos);
  driver.Press(PicOk);
  EXPECT_EQ(picture, "@X");
}

}  // namespace
}  // namespace ledora::designer
