#include "layout/report_builder.h"

#include <gtest/gtest.h>

#include "layout/record_stream.h"
#include "runtime/report/text_dump.h"
#include "runtime/values/fixed_string.h"
#include "tests/layout/layout_fixture.h"

namespace ledora::layout {
namespace {

enum TestBands : int32_t {
  FormBand = 1,
  HeaderBand = 2,
  FooterBand = 3,
  LinesBand = 4,
  TotalsBand = 5
};

struct Returned {
  int32_t control;
  std::string field;
  bool operator==(const Returned&) const = default;
  friend void PrintTo(const Returned& r, std::ostream* os) { *os << r.control << " " << r.field; }
};

class ReportBuilderTest : public ::testing::Test {
 protected:
  ReportBuilderTest() : builder_(files_.designs()) {
    std::vector<BandRecord> details(2);
    details[0].DETAILNUMBER = 1;
    details[1].DETAILNUMBER = 2;
    state_ = std::make_unique<DesignState>(nullptr, details);
    report_.AddBand(FormBand, runtime::BandPageForm);
    report_.AddBand(HeaderBand, runtime::BandPageHeader);
    report_.AddBand(FooterBand, runtime::BandPageFooter);
    report_.AddBand(LinesBand, runtime::BandDetail);
    report_.AddBand(TotalsBand, runtime::BandDetail);
  }

  ControlEntry& Add(int band, uint8_t kind, const std::string& field, const std::string& picture) {
    state_->AddBand(band);
    auto control = state_->NewControl(kind);
    control->FIELDNAME = field;
    control->PICTURE = picture;
    control->CTRL->Place(10, 20, 300, -1);
    ControlEntry& entry = *control;
    state_->Band(band)->BANDCONTROLS.push_back(std::move(control));
    return entry;
  }
  void SaveDesign(int32_t number = 1) {
    R_D.DESIGNNUMBER = number;
    ASSERT_EQ(RecordStream(files_.designs()).Save(*state_), 0);
  }
  // The procedure's side of the protocol for one band.
  std::vector<Returned> BuildBand(int16_t kind, int16_t detail, int32_t band) {
    std::vector<Returned> returned;
    std::string field;
    int guard = 0;
    while (builder_.Build(report_, kind, detail, band, field, next_) == BuildBindField) {
      returned.push_back({next_, field});
      if (++guard > 100) break;
    }
    EXPECT_EQ(field, "");
    return returned;
  }
  void BuildSettings() {
    std::string field = "stale";
    next_ = 7;
    EXPECT_EQ(builder_.Build(report_, BuildReportLevel, 0, 0, field, next_), BuildFinished);
    EXPECT_EQ(next_, 100);
    EXPECT_EQ(field, "");
  }

  DesignFiles files_;
  ReportBuilder builder_;
  std::unique_ptr<DesignState> state_;
  runtime::Report report_;
  int32_t next_ = 0;
};

TEST_F(ReportBuilderTest, ReportLevelTakesUnitOrientationAreaAndDefaultFont) {
  state_->SwitchUnit('M');
  state_->ORIENTATION = 'L';
  SaveDesign();
  BuildSettings();
  EXPECT_EQ(report_.unit(), runtime::ReportUnit::Millimetres);
  EXPECT_EQ(report_.orientation(), runtime::OrientationLandscape);
  EXPECT_EQ(report_.areaX(), 20);
  EXPECT_EQ(report_.areaY(), 25);
  EXPECT_EQ(report_.areaWidth(), 175);
  EXPECT_EQ(report_.areaHeight(), 246);
  EXPECT_EQ(report_.font(), (runtime::ReportFont{"Arial", 700, 10, 0}));
}

TEST_F(ReportBuilderTest, StoredReportFontIsUsedWhereSet) {
  state_->FONTNAME = "Courier";
  state_->FONTSIZE = 12;
  state_->FONTCOLOR = 0xFF;
  SaveDesign();
  BuildSettings();
  EXPECT_EQ(report_.font(), (runtime::ReportFont{"Courier", 700, 12, 0xFF}));
  EXPECT_EQ(report_.unit(), runtime::ReportUnit::ThousandthsInch);
  EXPECT_EQ(report_.orientation(), runtime::OrientationPortrait);
}

TEST_F(ReportBuilderTest, ControlsAreNumberedFrom101AndFieldsHandedBack) {
  Add(4, KindString, "", "Invoice");
  Add(4, KindField, "INV:SALES", "@n-13.2");
  Add(4, KindField, "Pagenumber", "@pPage <<#p");
  Add(4, KindField, "PageNumber", "@n3");
  Add(4, KindCheckBox, "INV:PAID", "Paid");
  Add(4, KindTextField, "CUS:ADDRESS1", "").RESIZABLE = 1;
  Add(4, KindImage, "ITE:PHOTO", "");
  Add(4, KindImage, "ITE:PHOTO", "logo.bmp");
  SaveDesign();
  BuildSettings();
  std::vector<Returned> returned = BuildBand(BuildDetail, 1, LinesBand);
  // Kind order: images, strings, fields, check boxes, text fields.
  EXPECT_EQ(returned, (std::vector<Returned>{{101, "ITE:PHOTO"},
                                             {104, "INV:SALES"},
                                             {106, "PageNumber"},
                                             {107, "INV:PAID"},
                                             {108, "CUS:ADDRESS1"}}));
  EXPECT_EQ(next_, 108);
  EXPECT_EQ(report_.Control(102)->imageFile, "logo.bmp");
  EXPECT_EQ(report_.Control(103)->text, "Invoice");
  EXPECT_EQ(report_.Control(104)->kind, runtime::ReportVariable);
  EXPECT_EQ(report_.Control(105)->kind, runtime::ReportPageNumber);
  EXPECT_EQ(report_.Control(105)->picture, "@pPage <<#p");
  EXPECT_EQ(report_.Control(107)->text, "Paid");
  EXPECT_TRUE(report_.Control(108)->grows);
  EXPECT_EQ(report_.Band(LinesBand)->controls.size(), 8u);
}

TEST_F(ReportBuilderTest, OnlyTheFirstCommaOfAFieldPictureBecomesAGraveAccent) {
  Add(2, KindField, "INV:SALES", "@n-13,2,x");
  Add(2, KindField, "INV:NUMBER", "@n6");
  SaveDesign();
  BuildSettings();
  BuildBand(BuildPageHeader, 0, HeaderBand);
  EXPECT_EQ(report_.Control(101)->picture, "@n-13`2,x");
  EXPECT_EQ(report_.Control(102)->picture, "@n6");
}

TEST_F(ReportBuilderTest, ControlGeometryFontJustificationAndColours) {
  ControlEntry& text = Add(1, KindString, "", "Title");
  text.FONTSIZE = 14;
  text.JUSTIFICATION = 'C';
  text.TRANSPARENT = 0;
  ControlEntry& box = Add(1, KindBox, "", "");
  box.CTRL->Place(0, 0, 0, 500);
  box.LINECOLOR = 0xFF;
  box.BOXCOLOR = kNoColour;
  box.BOXROUND = 1;
  Add(1, KindGroup, "", "Totals").JUSTIFICATION = 'X';
  state_->FONTNAME = "Times";
  SaveDesign();
  BuildSettings();
  EXPECT_TRUE(BuildBand(BuildPageForm, 0, FormBand).empty());
  const runtime::ReportControl& boxControl = *report_.Control(101);
  EXPECT_EQ(boxControl.width, 0);
  EXPECT_EQ(boxControl.height, 500);
  EXPECT_EQ(boxControl.lineColor, 0xFF);
  EXPECT_EQ(boxControl.fillColor, kNoColour);
  EXPECT_TRUE(boxControl.rounded);
  const runtime::ReportControl& group = *report_.Control(102);
  EXPECT_EQ(group.justify, runtime::ReportJustify::Default);
  EXPECT_TRUE(group.transparent);
  const runtime::ReportControl& title = *report_.Control(103);
  EXPECT_EQ(title.font, (runtime::ReportFont{"Times", 700, 14, 0}));
  EXPECT_EQ(title.justify, runtime::ReportJustify::Centre);
  EXPECT_FALSE(title.transparent);
  EXPECT_EQ(title.x, 10);
  EXPECT_EQ(title.y, 20);
  EXPECT_EQ(title.width, 300);
  EXPECT_EQ(title.height, -1);  // natural height
}

TEST_F(ReportBuilderTest, OnlyDetailBandsTakeBreaksAndKeepTogether) {
  for (int position : {2, 4}) {
    BandEntry& band = *state_->Band(position);
    band.PRESENT = 1;
    band.ABSOLUTE = 1;
    band.PAGEBEFORE = 1;
    band.PAGEAFTER = 1;
    band.WITHPRIOR = 2;
    band.WITHNEXT = 3;
    band.CTRL->Place(100, 200, -1, 250);
  }
  SaveDesign();
  BuildSettings();
  BuildBand(BuildPageHeader, 0, HeaderBand);
  BuildBand(BuildDetail, 1, LinesBand);
  const runtime::ReportBand& header = *report_.Band(HeaderBand);
  EXPECT_FALSE(header.absolute);
  EXPECT_FALSE(header.pageBefore);
  EXPECT_EQ(header.withNext, 0);
  EXPECT_EQ(header.y, 200);
  EXPECT_EQ(header.width, 6900);  // the printable area's width
  EXPECT_EQ(header.height, 250);
  const runtime::ReportBand& lines = *report_.Band(LinesBand);
  EXPECT_TRUE(lines.absolute);
  EXPECT_TRUE(lines.pageBefore);
  EXPECT_TRUE(lines.pageAfter);
  EXPECT_EQ(lines.withPrior, 2);
  EXPECT_EQ(lines.withNext, 3);
  EXPECT_EQ(lines.x, 100);
}

TEST_F(ReportBuilderTest, DetailNumberPicksTheBandAndAbsentBandsStayAsTheyAre) {
  Add(4, KindField, "A:ONE", "");
  Add(5, KindField, "A:TWO", "");
  SaveDesign();
  report_.Band(FooterBand)->height = 333;
  BuildSettings();
  EXPECT_EQ(BuildBand(BuildDetail, 2, TotalsBand), (std::vector<Returned>{{101, "A:TWO"}}));
  EXPECT_EQ(BuildBand(BuildDetail, 1, LinesBand), (std::vector<Returned>{{102, "A:ONE"}}));
  EXPECT_TRUE(BuildBand(BuildPageFooter, 0, FooterBand).empty());
  EXPECT_EQ(report_.Band(FooterBand)->height, 333);
  EXPECT_TRUE(report_.Band(FooterBand)->controls.empty());
}

TEST_F(ReportBuilderTest, UnknownKindsBandsAndDesignsBuildNothing) {
  Add(4, KindField, "A:ONE", "");
  SaveDesign();
  BuildSettings();
  std::string field;
  for (int16_t kind : {0, 2, 3, 8, -1}) {
    EXPECT_EQ(builder_.Build(report_, kind, 1, LinesBand, field, next_), BuildFinished);
  }
  EXPECT_EQ(builder_.Build(report_, BuildDetail, 1, 99, field, next_), BuildFinished);
  EXPECT_EQ(next_, 100);
  EXPECT_EQ(report_.ControlCount(), 0);

  R_D.DESIGNNUMBER = 42;  // no content records
  runtime::ReportFont before = report_.font();
  BuildSettings();
  EXPECT_EQ(report_.font(), before);
  EXPECT_TRUE(BuildBand(BuildDetail, 1, LinesBand).empty());
}

TEST_F(ReportBuilderTest, RecordOfUnknownControlKindUsesUpANumber) {
  Add(4, KindField, "A:ONE", "");
  SaveDesign();
  ContentRecord odd = BlankContent(1, 10, 'C', 0);
  odd.THEDATA[0] = 4;
  files_.AddContent(odd);
  BuildSettings();
  EXPECT_EQ(BuildBand(BuildDetail, 1, LinesBand), (std::vector<Returned>{{102, "A:ONE"}}));
  EXPECT_EQ(report_.Control(101), nullptr);
}

TEST_F(ReportBuilderTest, BuiltReportPrintsBoundValues) {
  Add(2, KindString, "", "Sales list");
  Add(4, KindField, "INV:SALES", "@n9.2");
  SaveDesign();
  BuildSettings();
  BuildBand(BuildPageHeader, 0, HeaderBand);
  double sales = 0;
  for (const Returned& bind : BuildBand(BuildDetail, 1, LinesBand)) {
    ASSERT_EQ(runtime::ToUpper1252(bind.field), "INV:SALES");
    report_.Control(bind.control)->field = runtime::FieldRef::Of(sales);
  }
  testing::TempFolder pages;
  report_.SetPageFolder(pages.path());
  ASSERT_TRUE(report_.Open());
  for (double value : {12.5, 1234.0}) {
    sales = value;
    ASSERT_TRUE(report_.Print(LinesBand));
  }
  ASSERT_TRUE(report_.EndReport());
  runtime::TextDump dump;
  ASSERT_TRUE(report_.Flush(dump));
  EXPECT_NE(dump.text().find("Sales list"), std::string::npos) << dump.text();
  EXPECT_NE(dump.text().find("12.50"), std::string::npos) << dump.text();
  EXPECT_NE(dump.text().find(" 1,234.00"), std::string::npos) << dump.text();
  report_.Close();
}

}  // namespace
}  // namespace ledora::layout
