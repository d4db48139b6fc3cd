// A station that fills the current folder with the sample data, as
// `ledora --demo` does, and ends: the demo fill crash test kills it at each
// of its syncs. Exits 0 when the data went in.
#include "app/demo_data.h"
#include "app/invoicing_dictionary.h"
#include "data/error_reporter.h"
#include "runtime/storage/sqlite_driver.h"

int main() {
  ledora::data::ErrorReporter errors;
  errors.Initialize();
  int code = 1;
  {
    ledora::runtime::SqliteDriver driver;
    if (ledora::app::DictionarySetup(driver, errors)) {
      code = ledora::app::FillDemoData(82000) == ledora::app::DemoFilled ? 0 : 1;
    }
    ledora::app::DictionaryShutdown();
  }
  errors.Shutdown();
  return code;
}
