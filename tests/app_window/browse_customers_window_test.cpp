// The customers browse in the real program window: opened from the menu,
// driven from the keyboard through the X server (xdotool), its forms and
// questions found by their titles, and what it did read back from the
// customers file.
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/invoicing_dictionary.h"
#include "data/error_reporter.h"
#include "data/view_manager.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/values/fixed_string.h"
#include "runtime/views/view.h"
#include "tests/app_window/program_window_test_base.h"

namespace ledora::testing {
namespace {

// The customers file of a data folder, opened through the dictionary for
// one piece of work at a time, so that the program keeps its own hold.
class Customers {
 public:
  explicit Customers(const std::string& folder) : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
    errors_.Initialize();
    app::DictionarySetup(driver_, errors_);
    app::Relate_CUSTOMER->Open();
  }
  ~Customers() {
    app::Relate_CUSTOMER->Close();
    app::DictionaryShutdown();
    errors_.Shutdown();
    std::filesystem::current_path(previous_);
  }

  void Add(const char* name) {
    app::Access_CUSTOMER->PrimeRecord();
    runtime::AssignPadded(app::CUS.NAME, name);
    app::Access_CUSTOMER->Insert();
  }
  // Every customer's name, in ID order.
  std::vector<std::string> Names() {
    app::Access_CUSTOMER->MakeUsable();
    runtime::View view(
        runtime::ViewDeclaration{&app::Access_CUSTOMER->CurrentFile(), {}, {"CUS:NAME"}});
    data::ViewManager records;
    records.Initialize(&view, app::Relate_CUSTOMER);
    records.AddSortOrder(app::CustomerRecord::IDKEY);
    records.Reset();
    std::vector<std::string> names;
    while (records.Next() == 0) names.emplace_back(runtime::ClippedField(app::CUS.NAME));
    records.Close();
    records.Shutdown();
    return names;
  }

 private:
  std::filesystem::path previous_;
  data::ErrorReporter errors_;
  runtime::SqliteDriver driver_;
};

class BrowseCustomersWindowTest : public ProgramWindowTest {
 protected:
  void SetUp() override {
    ProgramWindowTest::SetUp();
    if (IsSkipped()) return;
    {
      Customers customers(data_.path());
      customers.Add("Adams");
      customers.Add("Miller");
    }
    StartProgram();
  }

  std::string OpenWith(const std::string& keys, const std::string& title) {
    return ProgramWindowTest::OpenWith(frame_, keys, title);
  }
  // Opens a customers browse from the menu and presses Insert on its list
  // until the form shows. On a busy machine the keys may reach the frame
  // before the browse has the focus and be lost; then the whole step is
  // tried again, which may leave an extra browse open.
  std::string InsertFromNewBrowse() {
    std::string form;
    for (int attempt = 0; attempt < 4 && form.empty(); ++attempt) {
      Keys(frame_, "alt+b");
      Keys(frame_, "Return");
      form = OpenWith("Insert", "Adding a Customers Record");
    }
    return form;
  }
  std::vector<std::string> Names() { return Customers(data_.path()).Names(); }
  bool NamesBecome(const std::vector<std::string>& names) {
    return WaitFor([&] { return Names() == names; }, 10);
  }

  std::string frame_;
};

TEST_F(BrowseCustomersWindowTest, CustomersAreAddedChangedAndDeletedFromTheBrowse) {
  ASSERT_TRUE(WaitFor([&] { return !(frame_ = Named(kFrameTitle)).empty(); }, 30));
  ASSERT_TRUE(WaitFor([&] { return Visible().size() == 1; }, 15)) << "the splash stayed";

  // Alt+B, Enter: "Browse Customers"; Insert on its list opens the form.
  std::string form = InsertFromNewBrowse();
  ASSERT_FALSE(form.empty()) << "Insert on the list opened no form";
  Keys(form, "Tab");
  Type(form, "Baker");
  ASSERT_TRUE(CloseWith(form, "Adding a Customers Record", "Return"));
  ASSERT_TRUE(NamesBecome({"Adams", "Miller", "Baker"}));

  // The new customer is highlighted: Ctrl+Enter changes it.
  form = OpenWith("ctrl+Return", "Changing a Customers Record");
  ASSERT_FALSE(form.empty()) << "Ctrl+Enter on the list opened no form";
  Keys(form, "Tab ctrl+a");
  Type(form, "Baker and Sons");
  ASSERT_TRUE(CloseWith(form, "Changing a Customers Record", "Return"));
  ASSERT_TRUE(NamesBecome({"Adams", "Miller", "Baker and Sons"}));

  // Delete asks first; Yes has the focus.
  std::string box = OpenWith("Delete", "Confirm Delete");
  ASSERT_FALSE(box.empty()) << "Delete on the list asked nothing";
  ASSERT_TRUE(CloseWith(box, "Confirm Delete", "space"));
  ASSERT_TRUE(NamesBecome({"Adams", "Miller"}));

  // A second customers browse works beside the first.
  form = InsertFromNewBrowse();
  ASSERT_FALSE(form.empty()) << "the second browse opened no form";
  Keys(form, "Tab");
  Type(form, "Second");
  ASSERT_TRUE(CloseWith(form, "Adding a Customers Record", "Return"));
  ASSERT_TRUE(NamesBecome({"Adams", "Miller", "Second"}));

  // Alt+F, x: the program ends with both browses open.
  int status = -1;
  for (int attempt = 0; attempt < 5 && !Exited(&status); ++attempt) {
    Keys(frame_, "alt+f");
    Keys(frame_, "x");
    WaitFor([&] { return Exited(&status); }, 3);
  }
  ASSERT_TRUE(exited_) << "the program did not end";
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace ledora::testing
