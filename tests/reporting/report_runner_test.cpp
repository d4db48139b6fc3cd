#include "reporting/report_runner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "data/error_reporter.h"
#include "data/file_manager.h"
#include "reporting/print_preview.h"
#include "runtime/report/text_dump.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/window/headless_driver.h"
#include "runtime/window/scheduler.h"
#include "tests/support/temp_folder.h"

namespace ledora::reporting {
namespace {

using runtime::FieldRef;

#pragma pack(push, 1)
struct OrderRecord {
  int32_t NUMBER;
};
#pragma pack(pop)

OrderRecord ORD{};
const runtime::RecordLayout kOrderLayout("ORD", sizeof(OrderRecord),
                                         {{"ORD:NUMBER", runtime::FieldLong, 0, 4, 0}});

constexpr int32_t kCancel = 1;
constexpr int32_t kProgress = 2;
constexpr int32_t kText = 3;
constexpr int32_t kDetail = 10;

// Remembers whether a window was ever on screen.
class WatchingPresenter : public runtime::HeadlessPresenter {
 public:
  void WindowOpened(runtime::Window& window) override { Note(window); }
  void WindowChanged(runtime::Window& window) override { Note(window); }
  bool everShown = false;

 private:
  void Note(runtime::Window& window) { everShown = everShown || window.isVisible(); }
};

// Prints one detail per record; each record costs `cost` hundredths on the
// test's clock, and each timer event's record count is kept.
class OrderProcess : public BatchProcess {
 public:
  uint8_t ProcessRecord() override {
    *clock += cost;
    ++taken;
    return report->Print(kDetail) ? 0 : 3;
  }
  runtime::Report* report = nullptr;
  int32_t* clock = nullptr;
  int32_t cost = 0;
  int32_t taken = 0;
};

class TestRunner : public ReportRunner {
 public:
  data::Severity Initialize() override {
    ProcedureFrame::Initialize();
    window()->CreateControl(kCancel, runtime::ControlButton);
    window()->CreateControl(kProgress, runtime::ControlProgress);
    window()->CreateControl(kText, runtime::ControlString);
    window()->SetTimer(1);
    AddButton(kCancel, framework::ResponseCancelled);
    Setup(process, report, preview);
    OpenProgressWindow();
    return data::SeverityNone;
  }
  data::Severity OnWindowEvent() override {
    int32_t before = process->taken;
    data::Severity result = ReportRunner::OnWindowEvent();
    if (event().number == runtime::EventTimer && process->taken > before) {
      perEvent.push_back(process->taken - before);
    }
    return result;
  }
  OrderProcess* process = nullptr;
  runtime::Report* report = nullptr;
  PrintPreview* preview = nullptr;
  std::vector<int32_t> perEvent;
};

class ReportRunnerTest : public ::testing::Test {
 protected:
  ReportRunnerTest() : driver(scheduler, presenter) {
    errors.Initialize();
    runtime::FileDeclaration declaration{"ORDERS", folder.File("ORDERS"), &kOrderLayout, &ORD, {}};
    declaration.keys.push_back({"ORD:KEY", {{0}}, true, true});
    file = sqlite.Declare(declaration);
    orders.Initialize(file.get(), &errors);
    orders.AddKey(0, "Number");
    relation.Initialize(&orders, false);
    relation.Open();
    report.SetPageFolder(folder.path());
    report.AddBand(kDetail, runtime::BandDetail);
    runtime::ReportControl* field = report.CreateControl(100, runtime::ReportVariable, kDetail);
    field->picture = "@n5";
    field->field = FieldRef::Of(ORD.NUMBER);
    process.report = &report;
    process.clock = &now;
    runner.process = &process;
    runner.report = &report;
    runner.SetWindow(&window);
    runner.SetOutput(&dump);
    runner.SetClock([this] { return now; });
    runner.ERRORS = &errors;
  }
  ~ReportRunnerTest() override {
    relation.Close();
    relation.Shutdown();
    orders.Shutdown();
  }

  void AddOrders(int count) {
    ASSERT_EQ(orders.MakeUsable(), 0);
    for (int i = 1; i <= count; ++i) {
      ORD.NUMBER = i;
      ASSERT_EQ(file->Add(), 0);
    }
  }
  // Starts the report procedure; the caller then lets time pass.
  void Start() {
    view = std::make_unique<runtime::View>(runtime::ViewDeclaration{file.get(), {}, {}});
    ASSERT_EQ(process.Setup(view.get(), &relation, kText, &percent, nullptr,
                            {runtime::FieldLong, nullptr, 0, 0}, &window),
              0);
    process.AddSortOrder(0);
    driver.Start([this] {
      response = runner.Run();
      window.Close();
    });
  }
  void Run() {
    Start();
    ASSERT_TRUE(driver.RunToEnd(10000));
  }

  testing::TempFolder folder;
  runtime::Scheduler scheduler;
  WatchingPresenter presenter;
  runtime::HeadlessDriver driver;
  data::ErrorReporter errors;
  runtime::SqliteDriver sqlite;
  std::unique_ptr<runtime::DataFile> file;
  data::FileManager orders;
  data::RelationController relation;
  std::unique_ptr<runtime::View> view;
  runtime::Report report;
  runtime::TextDump dump;
  runtime::Window window;
  uint8_t percent = 0;
  int32_t now = 1000;
  OrderProcess process;
  TestRunner runner;
  uint8_t response = 0;
};

TEST_F(ReportRunnerTest, PortionsGrowWhileQuickAndShrinkWhenSlow) {
  AddOrders(40);
  process.cost = 10;
  Start();
  // Quick records: the first event doubles its way up to eight within itself.
  driver.Tick();
  driver.Tick();
  EXPECT_EQ(runner.RECORDSPERCYCLE, 8);
  // Slow records: over one and a half slices halves the portion.
  process.cost = 60;
  driver.Tick();
  EXPECT_EQ(runner.RECORDSPERCYCLE, 4);
  driver.Tick();
  EXPECT_EQ(runner.RECORDSPERCYCLE, 2);
  driver.Tick();
  EXPECT_EQ(runner.RECORDSPERCYCLE, 2);
  ASSERT_TRUE(driver.RunToEnd(1000));
  EXPECT_EQ(runner.perEvent[0], 8);
  EXPECT_EQ(runner.perEvent[1], 8);
  EXPECT_EQ(runner.perEvent[2], 8);
  EXPECT_EQ(runner.perEvent[3], 4);
  EXPECT_EQ(runner.perEvent[4], 2);
  EXPECT_EQ(response, framework::ResponseCompleted);
  EXPECT_EQ(process.taken, 40);
  EXPECT_EQ(percent, 100);
  EXPECT_EQ(window.GetText(kText), "100% Complete");
  EXPECT_GE(dump.pages(), 1);
  EXPECT_NE(dump.text().find("40"), std::string::npos);
}

TEST_F(ReportRunnerTest, NoRecordsSaysSoAndPrintsNothing) {
  AddOrders(0);
  presenter.ScriptMessage(runtime::ButtonOk);
  Run();
  ASSERT_EQ(presenter.messages().size(), 1u);
  EXPECT_EQ(presenter.messages()[0].text, "There are no records available to process.");
  EXPECT_EQ(runner.OPENFAILED, 1);
  EXPECT_EQ(response, framework::ResponseCancelled);
  EXPECT_EQ(dump.pages(), 0);
  EXPECT_EQ(process.taken, 0);
}

TEST_F(ReportRunnerTest, CancelPrintsNothing) {
  AddOrders(60);
  process.cost = 40;  // two records per event
  Start();
  driver.Tick();
  ASSERT_GT(process.taken, 0);
  driver.Press(window, kCancel);
  ASSERT_TRUE(driver.RunToEnd(100));
  EXPECT_LT(process.taken, 60);
  EXPECT_EQ(response, framework::ResponseCancelled);
  EXPECT_EQ(dump.pages(), 0);
  EXPECT_FALSE(runner.printed());
  // The run's spool went with it.
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    EXPECT_EQ(entry.path().filename().string().find("pages-"), std::string::npos) << entry.path();
  }
}

TEST_F(ReportRunnerTest, DeferredWindowOfAShortReportNeverShows) {
  AddOrders(30);
  process.cost = 3;  // done within one second
  runner.DEFERWINDOW = 2;
  Run();
  EXPECT_FALSE(presenter.everShown);
  EXPECT_EQ(response, framework::ResponseCompleted);
  EXPECT_TRUE(runner.printed());
}

TEST_F(ReportRunnerTest, DeferredWindowShowsOnceTheDeferredTimeHasPassed) {
  AddOrders(30);
  process.cost = 40;  // twelve seconds in all
  runner.DEFERWINDOW = 2;
  Start();
  while (!presenter.everShown && process.taken < 30) driver.Tick();
  EXPECT_TRUE(presenter.everShown);
  EXPECT_GT(now - 1000, 200);
  EXPECT_LT(process.taken, 30);
  ASSERT_TRUE(driver.RunToEnd(1000));
  EXPECT_TRUE(runner.printed());
}

TEST_F(ReportRunnerTest, ThePreviewDecidesWhetherThePagesPrint) {
  AddOrders(5);
  PrintPreview preview;
  runner.preview = &preview;
  presenter.SetPrinterName("office");  // the pages go to the runner's output
  Start();
  driver.RunToEnd(100);
  runtime::Window* shown = driver.Titled("Report Preview");
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(dump.pages(), 0);
  driver.Press(*shown, PreviewTbarPrint);
  ASSERT_TRUE(driver.RunToEnd(100));
  EXPECT_EQ(dump.pages(), 1);
  EXPECT_TRUE(runner.printed());
}

TEST_F(ReportRunnerTest, SkipPreviewPrintsWithoutShowingIt) {
  AddOrders(5);
  PrintPreview preview;
  runner.preview = &preview;
  runner.SKIPPREVIEW = 1;
  Run();
  EXPECT_EQ(driver.Titled("Report Preview"), nullptr);
  EXPECT_EQ(dump.pages(), 1);
  EXPECT_NE(dump.text().find("5"), std::string::npos);
}

}  // namespace
}  // namespace ledora::reporting
