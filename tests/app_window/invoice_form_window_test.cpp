// The invoice form in the real program window, driven with the keys a user
// presses: its customer look-up opens the selection list over the form, and
// however that list is left, the form answers again.
#include <cstdlib>
#include <string>

#include "tests/app_window/program_window_test_base.h"

namespace ledora::testing {
namespace {

constexpr char kAdding[] = "Adding a Invoices Record";
constexpr char kSelect[] = "Select a Customers Record";

class InvoiceFormWindowTest : public ProgramWindowTest {
 protected:
  void SetUp() override {
    ProgramWindowTest::SetUp();
    if (!IsSkipped()) StartProgram();
  }

  // Browse Invoices (a child inside the frame), Insert: a new invoice's form.
  std::string NewInvoiceForm(const std::string& frame) {
    std::string form;
    for (int attempt = 0; attempt < 3 && form.empty(); ++attempt) {
      Keys(frame, "alt+b");
      Keys(frame, "Down Down Return");
      form = OpenWith(frame, "Insert", kAdding);
    }
    return form;
  }
};

TEST_F(InvoiceFormWindowTest, EscapeInTheCustomerSelectionLeavesTheFormWorking) {
  std::string frame = FrameReady();
  ASSERT_FALSE(frame.empty()) << "no frame, or its splash stayed";
  std::string form = NewInvoiceForm(frame);
  ASSERT_FALSE(form.empty()) << "Insert in the invoices browse opened no form";

  // Tab to "Customer ID:", a number nobody has, Tab: the selection opens.
  Keys(form, "Tab");
  Type(form, "999999");
  std::string select = OpenWith(form, "Tab", kSelect);
  ASSERT_FALSE(select.empty()) << "an unknown customer number opened no selection";
  ASSERT_TRUE(CloseWith(select, kSelect, "Escape")) << "Escape did not end the selection";

  // The form hears its keys again: Escape asks about the typed number, and
  // "No" leaves it without a record.
  ASSERT_FALSE(Named(kAdding).empty());
  std::string box = OpenWith(form, "Escape", "Save Record");
  ASSERT_FALSE(box.empty()) << "the form ignored Escape after the selection";
  ASSERT_TRUE(CloseWith(box, "Save Record", "alt+n"));
  ASSERT_TRUE(WaitFor([&] { return Named(kAdding).empty(); }, 10)) << "the form stayed";
  ASSERT_TRUE(Quit(frame)) << "the program did not end";
  EXPECT_EQ(Records("INVOICES"), 0) << "a blank invoice was left behind";
}

// The invoice of a user's first try, with keys only: each line's price is
// worked out from its item, the total follows, and Escape, No leave nothing.
class InvoiceLinesWindowTest : public InvoiceFormWindowTest {
 protected:
  void SetUp() override {
    ProgramWindowTest::SetUp();
    if (IsSkipped()) return;
    std::string program = (ExeFolder().parent_path() / "ledora").string();
    std::string folder = data_.path();
    Output("printf 'CUS:CUSTOMERID,CUS:NAME\\n1,Adams\\n' > " + folder + "/c.csv");
    Output("printf 'ITE:ITEMNR,ITE:DESCRIPTION,ITE:PRICE\\n1,Hammer,2.50\\n2,Nails,0.10\\n' > " +
           folder + "/i.csv");
    Output(program + " --data " + folder + " import CUSTOMER " + folder + "/c.csv");
    Output(program + " --data " + folder + " import ITEMS " + folder + "/i.csv");
    ASSERT_EQ(Records("ITEMS"), 2);
    StartProgram();
  }
  // In the line form: Item Nr, Quantity, OK; the invoice form again.
  bool AddLine(const std::string& form, const std::string& item, const std::string& quantity) {
    std::string line = OpenWith(form, "alt+i", "Adding a InvoiceLines Record");
    if (line.empty()) return false;
    Keys(line, "Tab Tab");
    Type(line, item);
    Keys(line, "Tab");
    Type(line, quantity);
    Keys(line, "Tab");
    return CloseWith(line, "Adding a InvoiceLines Record", "Return");
  }
  // A picture of the screen for whoever looks at the run, into the folder
  // LEDORA_TEST_SHOTS names; none without it.
  void Shoot(const std::string& name) {
    const char* folder = getenv("LEDORA_TEST_SHOTS");
    if (folder != nullptr)
      Output("import -window root " + std::string(folder) + "/" + name + ".png");
  }
};

TEST_F(InvoiceLinesWindowTest, AnInvoiceEnteredWithKeysShowsItsTotalAndEscapeNoLeavesNothing) {
  std::string frame = FrameReady();
  ASSERT_FALSE(frame.empty()) << "no frame, or its splash stayed";
  std::string form = NewInvoiceForm(frame);
  ASSERT_FALSE(form.empty()) << "Insert in the invoices browse opened no form";
  Keys(form, "Tab");
  Type(form, "1");
  Keys(form, "Tab");
  ASSERT_TRUE(AddLine(form, "1", "3")) << "the first line";
  Shoot("one-line");
  ASSERT_TRUE(AddLine(form, "2", "10")) << "the second line";
  Shoot("two-lines");
  EXPECT_EQ(Records("INVOICEL"), 2) << "each line is stored as its form is saved";

  std::string box = OpenWith(form, "Escape", "Save Record");
  ASSERT_FALSE(box.empty()) << "Escape did not ask about the new lines";
  ASSERT_TRUE(CloseWith(box, "Save Record", "alt+n"));
  ASSERT_TRUE(WaitFor([&] { return Named(kAdding).empty(); }, 10)) << "the form stayed";
  ASSERT_TRUE(Quit(frame)) << "the program did not end";
  EXPECT_EQ(Records("INVOICES"), 0) << "an invoice was left behind";
  EXPECT_EQ(Records("INVOICEL"), 0) << "a line was left behind";
}

}  // namespace
}  // namespace ledora::testing
