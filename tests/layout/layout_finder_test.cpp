#include "layout/layout_finder.h"

#include <gtest/gtest.h>

#include "layout/design_codec.h"
#include "layout/record_stream.h"
#include "runtime/values/fixed_string.h"
#include "tests/layout/layout_fixture.h"
#include "tests/support/scripted_messages.h"

namespace ledora::layout {
namespace {

using runtime::ButtonOk;

class LayoutFinderTest : public ::testing::Test {
 protected:
  LayoutFinderTest() : finder_(files_.designs()) {
    files_.AddType(1, "Customers");
    files_.AddType(2, "Items", 5);
    files_.AddType(3, "Invoice", 9);  // names a design that is gone
    files_.AddDesign(4, 2, "Standard");
    files_.AddDesign(5, 2, "Default one");
    files_.AddDesign(6, 1, "Test");
    files_.AddDesign(7, 3, "Other");
  }

  DesignFiles files_;
  LayoutFinder finder_;
};

TEST_F(LayoutFinderTest, FindsTypeAndDesignByName) {
  EXPECT_TRUE(finder_.FindLayout("Items", "Standard"));
  EXPECT_EQ(R_T.TYPENUMBER, 2);
  EXPECT_EQ(R_D.DESIGNNUMBER, 4);
  EXPECT_EQ(R_D.TYPENUMBER, 2);
  finder_.CloseLayout();
}

TEST_F(LayoutFinderTest, WhatIsNotFoundReadsAsNumberZero) {
  R_D.DESIGNNUMBER = 99;
  EXPECT_TRUE(finder_.FindLayout("Items", "standard"));  // names match exactly
  EXPECT_EQ(R_T.TYPENUMBER, 2);
  EXPECT_EQ(R_D.DESIGNNUMBER, 0);
  EXPECT_EQ(runtime::ClippedField(R_D.DESIGNNAME), "");
  EXPECT_TRUE(finder_.FindLayout("No such type", "Test"));
  EXPECT_EQ(R_T.TYPENUMBER, 0);
  EXPECT_EQ(R_D.DESIGNNUMBER, 0);
  EXPECT_TRUE(finder_.FindLayout("Customers", "Standard"));  // another type's design
  EXPECT_EQ(R_D.DESIGNNUMBER, 0);
  finder_.CloseLayout();
  finder_.CloseLayout();
  finder_.CloseLayout();
}

TEST_F(LayoutFinderTest, EachFindTakesOneUseAndEachCloseGivesItBack) {
  DesignDatabase& designs = files_.designs();
  int types = designs.UseCount(R_Types);
  EXPECT_EQ(designs.UseCount(R_Content), 1);
  finder_.FindLayout("Items", "Standard");
  finder_.FindLayout("Items", "Standard");
  EXPECT_EQ(designs.UseCount(R_Types), types + 2);
  EXPECT_EQ(designs.UseCount(R_Content), 3);
  finder_.CloseLayout();
  finder_.CloseLayout();
  EXPECT_EQ(designs.UseCount(R_Types), types);
  EXPECT_EQ(designs.UseCount(R_Content), 1);
}

TEST_F(LayoutFinderTest, WithoutADesignDatabaseNothingIsFound) {
  R_T.TYPENUMBER = 5;
  R_D.DESIGNNUMBER = 5;
  DesignDatabase* installed = Designs();
  SetDesigns(nullptr);
  EXPECT_FALSE(FindLayout("Items", "Standard"));
  SetDesigns(installed);
  EXPECT_EQ(R_T.TYPENUMBER, 0);
  EXPECT_EQ(R_D.DESIGNNUMBER, 0);
}

TEST_F(LayoutFinderTest, ProcessWideFindUsesTheInstalledDatabase) {
  DesignDatabase* installed = Designs();
  SetDesigns(&files_.designs());
  EXPECT_TRUE(FindLayout("Customers", "Test"));
  EXPECT_EQ(R_D.DESIGNNUMBER, 6);
  CloseLayout();
  SetDesigns(installed);
}

TEST_F(LayoutFinderTest, PrintEntryPrefersTheNamedDesign) {
  EXPECT_EQ(finder_.FindDesignToPrint("Items", "Standard"), DesignFound);
  EXPECT_EQ(R_D.DESIGNNUMBER, 4);
}

TEST_F(LayoutFinderTest, PrintEntryFallsBackToTheStandardDesign) {
  EXPECT_EQ(finder_.FindDesignToPrint("Items", "Deleted"), DesignFound);
  EXPECT_EQ(R_D.DESIGNNUMBER, 5);
  EXPECT_EQ(runtime::ClippedField(R_D.DESIGNNAME), "Default one");
}

TEST_F(LayoutFinderTest, PrintEntryReportsWhatIsMissing) {
  testing::ScriptedMessages messages;
  messages.Expect("", "Layout not found/selected", ButtonOk);  // no standard design
  messages.Expect("", "Layout not found/selected", ButtonOk);  // standard design gone
  messages.Expect("", "Report type not found", ButtonOk);
  EXPECT_EQ(finder_.FindDesignToPrint("Customers", "Standard"), LayoutNotFound);
  EXPECT_EQ(finder_.FindDesignToPrint("Invoice", "Standard"), LayoutNotFound);
  EXPECT_EQ(finder_.FindDesignToPrint("Customer", "Test"), TypeNotFound);
  EXPECT_TRUE(messages.Verify());
}

// A page header with the title "Items" over a detail band with the item
// number and description.
std::unique_ptr<DesignState> ItemsLayout() {
  auto state = std::make_unique<DesignState>(nullptr, std::vector<BandRecord>{BandRecord{}});
  state->Band(4)->BANDNAME = "Detail";
  state->Band(4)->DETAILNO = 1;
  state->AddBand(2);
  state->AddBand(4);
  for (const char* field : {"ITE:ITEMNR", "ITE:DESCRIPTION"}) {
    auto control = state->NewControl(KindField);
    control->FIELDNAME = field;
    state->Band(4)->BANDCONTROLS.push_back(std::move(control));
  }
  auto title = state->NewControl(KindString);
  title->PICTURE = "Items";
  state->Band(2)->BANDCONTROLS.push_back(std::move(title));
  return state;
}

TEST_F(LayoutFinderTest, BuildReportRemovesOwnControlsAndBindsTheDesignsFields) {
  std::unique_ptr<DesignState> layout = ItemsLayout();
  DesignState& state = *layout;
  R_D.DESIGNNUMBER = 4;
  ASSERT_EQ(RecordStream(files_.designs()).Save(state), 0);

  runtime::Report report;
  report.AddBand(1, runtime::BandPageHeader);
  report.AddBand(2, runtime::BandDetail);
  report.CreateControl(50, runtime::ReportVariable, 2);  // the procedure's own template
  ASSERT_EQ(finder_.FindDesignToPrint("Items", "Standard"), DesignFound);
  std::vector<std::pair<int32_t, std::string>> bound;
  finder_.BuildReport(report, {{5, 0, 1}, {7, 1, 2}},
                      [&](int32_t control, const std::string& field) {
                        bound.push_back({control, field});
                      });
  EXPECT_EQ(report.Control(50), nullptr);
  EXPECT_EQ(report.Control(101)->text, "Items");
  EXPECT_EQ(bound, (std::vector<std::pair<int32_t, std::string>>{{102, "ITE:ITEMNR"},
                                                                 {103, "ITE:DESCRIPTION"}}));
  EXPECT_EQ(report.Control(103)->band, 2);
}

// The designer's unsaved layout prints from memory: the stored design's
// records are neither read nor changed.
TEST_F(LayoutFinderTest, BuildReportFromMemoryBuildsThoseRecordsInstead) {
  std::unique_ptr<DesignState> state = ItemsLayout();
  R_D.DESIGNNUMBER = 4;
  ASSERT_EQ(RecordStream(files_.designs()).Save(*state), 0);
  state->Band(4)->BANDCONTROLS.erase(state->Band(4)->BANDCONTROLS.begin());
  state->Band(2)->BANDCONTROLS[0]->PICTURE = "Edited";
  std::vector<ContentRecord> edited = DesignRecords(*state);

  runtime::Report report;
  report.AddBand(1, runtime::BandPageHeader);
  report.AddBand(2, runtime::BandDetail);
  ASSERT_EQ(finder_.FindDesignToPrint("Items", "Standard"), DesignFound);
  std::vector<std::string> bound;
  finder_.BuildReport(
      report, {{5, 0, 1}, {7, 1, 2}},
      [&](int32_t, const std::string& field) { bound.push_back(field); }, &edited);
  EXPECT_EQ(report.Control(101)->text, "Edited");
  EXPECT_EQ(bound, std::vector<std::string>{"ITE:DESCRIPTION"});
  EXPECT_EQ(R_D.DESIGNNUMBER, 4);

  bound.clear();
  finder_.BuildReport(report, {{5, 0, 1}, {7, 1, 2}},
                      [&](int32_t, const std::string& field) { bound.push_back(field); });
  EXPECT_EQ(report.Control(101)->text, "Items");
  EXPECT_EQ(bound.size(), 2u);
}

}  // namespace
}  // namespace ledora::layout
