#include "app/program.h"

#include "app/invoicing_dictionary.h"
#include "layout/design_database.h"
#include "runtime/storage/sqlite_driver.h"

namespace ledora::app {

data::ErrorReporter GlobalErrors;
framework::IniStore INIMgr;
std::string HelpFile;

void MainProcedure(const std::function<void(MainFrame&)>& prepare) {
  HelpFile = kHelpFile;
  GlobalErrors.Initialize();
  INIMgr.Setup(kSettingsFile);
  // Both the dictionary and the design database keep to the driver until
  // they are shut down.
  runtime::SqliteDriver driver;
  DictionarySetup(driver, GlobalErrors);
  {
    layout::DesignDatabase designs(driver);
    layout::SetDesigns(&designs);
    designs.InitializeManagers(GlobalErrors);

    RunMainFrame(&GlobalErrors, prepare);

    designs.ShutdownManagers();
    layout::SetDesigns(nullptr);
  }
  DictionaryShutdown();
  GlobalErrors.Shutdown();
}

}  // namespace ledora::app
