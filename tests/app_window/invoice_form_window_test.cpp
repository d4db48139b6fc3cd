// The invoice form in the real program window, driven with the keys a user
// presses: its customer look-up opens the selection list over the form, and
// however that list is left, the form answers again.
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

}  // namespace
}  // namespace ledora::testing
