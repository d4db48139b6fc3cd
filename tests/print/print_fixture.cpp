#include "tests/print/print_fixture.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/demo_data.h"
#include "app/invoicing_dictionary.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/values/fixed_string.h"
#include "runtime/values/picture.h"
#include "tests/support/command_output.h"
#include "tests/support/scripted_messages.h"

namespace ledora::testing {

namespace {

std::string Trimmed(std::string text) {
  text.erase(0, text.find_first_not_of(' '));
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

std::string Shown(const char* picture, const runtime::RecordLayout& layout, void* record,
                  const char* label) {
  return Trimmed(runtime::FormatWithPicture(picture, layout.Bind(record, label)));
}

std::string Slurp(const std::string& file) {
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

void PrintFixture::SetUp() {
  using namespace app;
  auto previous = std::filesystem::current_path();
  std::filesystem::current_path(data_.path());
  data::ErrorReporter errors;
  errors.Initialize();
  runtime::SqliteDriver driver;
  ASSERT_TRUE(DictionarySetup(driver, errors));
  ASSERT_EQ(FillDemoData(80000, 3, {.customers = 6, .items = 8, .invoices = 9, .maxLines = 4}),
            DemoFilled);
  std::vector<data::RelationController*> relations = {Relate_CUSTOMER, Relate_ITEMS,
                                                      Relate_INVOICES, Relate_INVOICEL};
  for (data::RelationController* relation : relations) relation->Open();
  for (auto* file : {Access_CUSTOMER, Access_ITEMS, Access_INVOICES, Access_INVOICEL}) {
    ASSERT_EQ(file->MakeUsable(), 0);
  }
  runtime::DataFile& items = Access_ITEMS->CurrentFile();
  for (int32_t i = 1; i <= 8; ++i) {
    ITE.ITEMNR = i;
    ASSERT_EQ(items.Fetch(ItemRecord::ITEMNRKEY), 0);
    items_.push_back({Shown("@n-13", ItemLayout(), &ITE, "ITE:ITEMNR"),
                      std::string(runtime::Clip(std::string_view(ITE.DESCRIPTION, 30))),
                      Shown("@n-13.2", ItemLayout(), &ITE, "ITE:PRICE")});
  }
  runtime::DataFile& customers = Access_CUSTOMER->CurrentFile();
  for (int32_t i = 1; i <= 6; ++i) {
    CUS.CUSTOMERID = i;
    ASSERT_EQ(customers.Fetch(CustomerRecord::IDKEY), 0);
    customerNames_.push_back(std::string(runtime::Clip(std::string_view(CUS.NAME, 35))));
    customerIds_.push_back(Shown("@n-13", CustomerLayout(), &CUS, "CUS:CUSTOMERID"));
    telefax_.push_back(std::string(runtime::Clip(std::string_view(CUS.TELEFAX, 30))));
  }
  runtime::DataFile& invoices = Access_INVOICES->CurrentFile();
  runtime::DataFile& lines = Access_INVOICEL->CurrentFile();
  for (int32_t i = 1; i <= 9; ++i) {
    INV.NUMBER = i;
    ASSERT_EQ(invoices.Fetch(InvoiceRecord::NUMBERKEY), 0);
    SampleInvoice invoice{i,
                          Shown("@d17", InvoiceLayout(), &INV, "INV:INVOICEDATE"),
                          Shown("@n-13.2", InvoiceLayout(), &INV, "INV:SALES"),
                          customerNames_.at(INV.CUSTOMERID - 1),
                          {}};
    INVL = {};
    INVL.INVOICENR = i;
    ASSERT_EQ(lines.SetOnKey(InvoiceLineRecord::LINENRKEY), 0);
    while (lines.Next() == 0 && INVL.INVOICENR == i) {
      invoice.linePrices.push_back(Shown("@n-13.2", InvoiceLineLayout(), &INVL, "INVL:PRICE"));
    }
    invoices_.push_back(invoice);
  }
  for (data::RelationController* relation : relations) relation->Close();
  DictionaryShutdown();
  errors.Shutdown();
  std::filesystem::current_path(previous);
}

PrintFixture::Run PrintFixture::Print(const std::string& args, const std::string& env) {
  return Ledora("print " + args, env);
}

PrintFixture::Run PrintFixture::Ledora(const std::string& args, const std::string& env) {
  std::string program =
      (std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "ledora")
          .string();
  std::string out = data_.File("stdout.txt"), err = data_.File("stderr.txt");
  std::string command = "cd '" + data_.path() + "' && " + env + " '" + program + "' " + args +
                        " >'" + out + "' 2>'" + err + "'";
  Run run;
  int status = std::system(command.c_str());
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = Slurp(out);
  run.err = Slurp(err);
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return run;
}

std::string PrintFixture::PdfText(const std::string& pdf) {
  return CommandOutput("pdftotext '" + pdf + "' - 2>/dev/null");
}

int PrintFixture::Pages(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\f'));
}

}  // namespace ledora::testing
