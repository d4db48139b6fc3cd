// A station that adds a line of 7.50 to invoice 1 of the current folder, as
// the line form does, and ends: the invoice total crash test kills it at
// each of its syncs. Exits 0 when the line went in.
#include "app/invoicing_dictionary.h"
#include "data/error_reporter.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/values/decimal.h"

int main() {
  using namespace ledora::app;
  ledora::data::ErrorReporter errors;
  errors.Initialize();
  int code = 1;
  {
    ledora::runtime::SqliteDriver driver;
    if (DictionarySetup(driver, errors) && Relate_INVOICEL->Open() == 0) {
      Access_INVOICEL->ClearRecord();
      INVL.INVOICENR = 1;
      INVL.ITEMNR = 1;
      INVL.QUANTITY = 3;
      ledora::runtime::PackDecimal(*ledora::runtime::Decimal::Parse("7.50"), INVL.PRICE, kMoneySize,
                                   kMoneyPlaces);
      code = Relate_INVOICEL->Insert() == 0 ? 0 : 1;
      Relate_INVOICEL->Close();
    }
    DictionaryShutdown();
  }
  errors.Shutdown();
  return code;
}
