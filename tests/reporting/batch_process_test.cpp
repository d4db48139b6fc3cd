#include "reporting/batch_process.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/error_reporter.h"
#include "data/file_manager.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/window/control.h"
#include "runtime/window/window.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_folder.h"

namespace ledora::reporting {
namespace {

using runtime::FieldRef;

#pragma pack(push, 1)
struct OrderRecord {
  int32_t NUMBER;
};
struct PartRecord {
  int32_t ORDER;
  int32_t PART;
};
#pragma pack(pop)

const runtime::RecordLayout kOrderLayout("ORD", sizeof(OrderRecord),
                                         {{"ORD:NUMBER", runtime::FieldLong, 0, 4, 0}});
const runtime::RecordLayout kPartLayout("PRT", sizeof(PartRecord),
                                        {{"PRT:ORDER", runtime::FieldLong, 0, 4, 0},
                                         {"PRT:PART", runtime::FieldLong, 4, 4, 0}});

// Orders with parts: a parent and a child process over two real files.
class BatchProcessTest : public ::testing::Test {
 protected:
  BatchProcessTest() {
    errors.Initialize();
    orderFile = Declare("ORDERS", &kOrderLayout, &ORD, {{0}});
    partFile = Declare("PARTS", &kPartLayout, &PRT, {{0}, {1}});
    orders.Initialize(orderFile.get(), &errors);
    orders.AddKey(0, "Number");
    parts.Initialize(partFile.get(), &errors);
    parts.AddKey(0, "Part");
    orderRelations.Initialize(&orders, false);
    partRelations.Initialize(&parts, false);
    orderRelations.AddRelation(&partRelations, 0, 0, 0);
    orderRelations.AddRelationLink(FieldRef::Of(ORD.NUMBER), FieldRef::Of(PRT.ORDER));
    partRelations.AddRelation(&orderRelations);
    orderRelations.Open();
    partRelations.Open();
    window.CreateControl(kText, runtime::ControlString);
  }
  ~BatchProcessTest() override {
    process.Close();
    process.Shutdown();
    children.Close();
    children.Shutdown();
    partRelations.Close();
    orderRelations.Close();
    partRelations.Shutdown();
    orderRelations.Shutdown();
    parts.Shutdown();
    orders.Shutdown();
  }

  std::unique_ptr<runtime::DataFile> Declare(const char* name, const runtime::RecordLayout* layout,
                                             void* buffer,
                                             std::vector<runtime::KeyComponent> components) {
    runtime::FileDeclaration file{name, folder.path() + "/" + name, layout, buffer, {}};
    file.keys.push_back({std::string(name) + ":KEY", std::move(components), true, true});
    return driver.Declare(file);
  }

  void AddOrders(std::vector<std::vector<int32_t>> partsPerOrder) {
    ASSERT_EQ(orders.MakeUsable(), 0);
    ASSERT_EQ(parts.MakeUsable(), 0);
    for (size_t i = 0; i < partsPerOrder.size(); ++i) {
      ORD.NUMBER = static_cast<int32_t>(i + 1);
      ASSERT_EQ(orders.CurrentFile().Add(), 0);
      for (int32_t part : partsPerOrder[i]) {
        PRT = {ORD.NUMBER, part};
        ASSERT_EQ(parts.CurrentFile().Add(), 0);
      }
    }
  }

  void SetupOrders(framework::ThumbStep* step = nullptr) {
    orderView = std::make_unique<runtime::View>(runtime::ViewDeclaration{orderFile.get(), {}, {}});
    FieldRef value = step ? FieldRef::Of(ORD.NUMBER) : FieldRef{runtime::FieldLong, nullptr, 0, 0};
    ASSERT_EQ(
        process.Setup(orderView.get(), &orderRelations, kText, &percent, step, value, &window), 0);
    process.AddSortOrder(0);
  }

  // What each ReadNext found: "O1" an order, "P1.2" a part, until the end.
  std::vector<std::string> ReadAll() {
    std::vector<std::string> read;
    process.Restart();
    while (process.ReadNext() == 0) {
      read.push_back(process.CHILDREAD == 0
                         ? "O" + std::to_string(ORD.NUMBER)
                         : "P" + std::to_string(PRT.ORDER) + "." + std::to_string(PRT.PART));
    }
    return read;
  }

  static constexpr int32_t kText = 7;
  testing::TempFolder folder;
  testing::ScriptedMessages messages;
  data::ErrorReporter errors;
  runtime::SqliteDriver driver;
  OrderRecord ORD{};
  PartRecord PRT{};
  std::unique_ptr<runtime::DataFile> orderFile, partFile;
  data::FileManager orders, parts;
  data::RelationController orderRelations, partRelations;
  std::unique_ptr<runtime::View> orderView, partView;
  runtime::Window window;
  uint8_t percent = 99;
  framework::NumericStep step;  // outlives the process's shut-down
  BatchProcess process;
  BatchProcess children;
};

TEST_F(BatchProcessTest, CountedProgressShowsWholePercentagesAsText) {
  AddOrders({{}, {}, {}});
  SetupOrders();
  EXPECT_EQ(percent, 0);
  process.Restart();
  EXPECT_EQ(process.RECORDSTOPROCESS, 3);
  std::vector<int> seen;
  while (process.ReadNext() == 0) seen.push_back(percent);
  EXPECT_EQ(seen, (std::vector<int>{33, 66, 100}));
  EXPECT_EQ(window.GetText(kText), "100% Complete");
  EXPECT_EQ(process.RECORDSPROCESSED, 3);
}

TEST_F(BatchProcessTest, PercentNeverPassesOneHundredWhenTheExpectedCountIsLow) {
  AddOrders({{}, {}, {}, {}});
  SetupOrders();
  process.RECORDSTOPROCESS = 2;
  process.Restart();
  while (process.ReadNext() == 0) EXPECT_LE(percent, 100);
  EXPECT_EQ(percent, 100);
  EXPECT_EQ(process.RECORDSPROCESSED, 4);
}

TEST_F(BatchProcessTest, UncountedReadsLeaveProgressAlone) {
  AddOrders({{}, {}});
  SetupOrders();
  process.Restart();
  EXPECT_EQ(process.ReadNext(false), 0);
  EXPECT_EQ(process.RECORDSPROCESSED, 0);
  EXPECT_EQ(percent, 0);
  EXPECT_EQ(window.GetText(kText), "");
}

TEST_F(BatchProcessTest, ChildProcessIsReadAfterEachRecordWithinItsRange) {
  AddOrders({{1, 2}, {}, {1}});
  SetupOrders();
  partView = std::make_unique<runtime::View>(runtime::ViewDeclaration{partFile.get(), {}, {}});
  ASSERT_EQ(children.Setup(partView.get(), &partRelations, 0, nullptr), 0);
  children.AddSortOrder(0);
  children.AddRange(&partRelations, &orderRelations);
  process.AddChild(&children);
  EXPECT_EQ(ReadAll(), (std::vector<std::string>{"O1", "P1.1", "P1.2", "O2", "O3", "P3.1"}));
  EXPECT_EQ(process.RECORDSPROCESSED, 6);
  EXPECT_EQ(percent, 100);  // only the three orders count towards it
}

TEST_F(BatchProcessTest, StepManagerTakesItsLimitsFromTheFirstAndLastRecords) {
  AddOrders({{}, {}, {}, {}, {}});
  SetupOrders(&step);
  process.Restart();
  EXPECT_EQ(step.LOW, 1);
  EXPECT_EQ(step.HIGH, 5);
  std::vector<int> seen;
  while (process.ReadNext() == 0) seen.push_back(percent);
  EXPECT_EQ(seen, (std::vector<int>{1, 25, 50, 75, 100}));
  EXPECT_EQ(window.GetText(kText), "100% Complete");
}

TEST_F(BatchProcessTest, EmptyViewReadsNothingAndGivesTheStepPlaceholderLimits) {
  AddOrders({});
  SetupOrders(&step);
  process.Restart();
  EXPECT_EQ(step.LOW, -1);
  EXPECT_EQ(step.HIGH, 1);
  EXPECT_EQ(process.ReadNext(), 5);
  EXPECT_EQ(percent, 0);
}

}  // namespace
}  // namespace ledora::reporting
