// A line and the total of its invoice are stored in one transaction: a
// station killed at any sync while it adds a line leaves the line and the
// new total, or neither.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>

#include "app/invoicing_dictionary.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/values/field_ref.h"
#include "tests/support/halt_recorder.h"
#include "tests/support/killed_station.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_folder.h"

namespace ledora::testing {
namespace {

namespace fs = std::filesystem;
using app::INV;
using app::INVL;

constexpr int kMostSyncs = 200;

struct Stored {
  int lines = 0;
  std::string sales;
};

// The invoicing dictionary over a folder, for the length of a scope.
class Dictionary {
 public:
  explicit Dictionary(const std::string& folder) : previous_(fs::current_path()) {
    fs::current_path(folder);
    errors_.Initialize();
    EXPECT_TRUE(app::DictionarySetup(driver_, errors_));
    app::Relate_INVOICEL->Open();
  }
  ~Dictionary() {
    app::Relate_INVOICEL->Close();
    app::DictionaryShutdown();
    EXPECT_FALSE(halts_.halted());
    fs::current_path(previous_);
  }

 private:
  fs::path previous_;
  HaltRecorder halts_;
  ScriptedMessages messages_;
  data::ErrorReporter errors_;
  runtime::SqliteDriver driver_;
};

class InvoiceTotalCrashTest : public ::testing::Test {
 protected:
  InvoiceTotalCrashTest() {
    fs::create_directory(Seed());
    Dictionary seed(Seed());
    app::Access_INVOICES->PrimeRecord();
    INV.CUSTOMERID = 1;
    EXPECT_EQ(app::Access_INVOICES->Insert(), 0);
    app::Access_INVOICEL->ClearRecord();
    INVL.INVOICENR = INV.NUMBER;
    runtime::SetText(Price(), "2.00");
    EXPECT_EQ(app::Relate_INVOICEL->Insert(), 0);
  }
  static runtime::FieldRef Price() { return runtime::FieldRef::Packed(INVL.PRICE, 5, 2); }
  std::string Seed() { return folder.File("seed"); }
  std::string Data() { return folder.File("data"); }
  std::string Temp() { return folder.File("tmp"); }

  int Run(int sync) {
    for (const std::string& path : {Data(), Temp()}) fs::remove_all(path);
    fs::copy(Seed(), Data());
    fs::create_directory(Temp());
    return RunStationKilledAtSync(StationProgram("invoice_line_station"), Data(), Temp(), sync);
  }

  Stored Reopen() {
    Stored stored;
    Dictionary reopened(Data());
    INV.NUMBER = 1;
    EXPECT_EQ(app::Access_INVOICES->FetchQuietly(app::InvoiceRecord::NUMBERKEY), 0);
    stored.sales = runtime::GetText(runtime::FieldRef::Packed(INV.SALES, 5, 2));
    app::Access_INVOICEL->ClearRecord();
    INVL.INVOICENR = 1;
    app::Access_INVOICEL->SetOnKey(app::InvoiceLineRecord::LINENRKEY);
    while (app::Access_INVOICEL->NextQuietly() == 0 && INVL.INVOICENR == 1) ++stored.lines;
    return stored;
  }

  TempFolder folder;
};

TEST_F(InvoiceTotalCrashTest, AStationKilledAtAnySyncLeavesTheLineWithItsTotalOrNeither) {
  int status = Run(0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  Stored done = Reopen();
  ASSERT_EQ(done.lines, 2);
  ASSERT_EQ(done.sales, "9.50");

  int kept = 0;
  int lost = 0;
  int kills = KillAtEachSync([&](int sync) { return Run(sync); },
                             [&] {
                               Stored left = Reopen();
                               bool before = left.lines == 1 && left.sales == "2.00";
                               bool after = left.lines == 2 && left.sales == "9.50";
                               ASSERT_TRUE(before || after)
                                   << left.lines << " lines, total " << left.sales;
                               (after ? kept : lost)++;
                             },
                             kMostSyncs);
  ASSERT_GT(kills, 0);
  EXPECT_GT(lost, 0);
  EXPECT_GT(kept, 0);
}

}  // namespace
}  // namespace ledora::testing
