#include "app/program.h"

#include <iostream>

#include "app/invoicing_dictionary.h"
#include "app/invoicing_records.h"
#include "app/storage_choice.h"
#include "app/user_guide.h"
#include "data/file_registry.h"
#include "data/thread_number.h"
#include "designer/guarded_open.h"
#include "layout/design_database.h"
#include "runtime/window/help.h"
#include "runtime/window/scheduler.h"

namespace ledora::app {

data::ErrorReporter GlobalErrors;
framework::IniStore INIMgr;
std::string HelpFile;

namespace {

// Ends the driver's kept-open reads whenever the program goes idle, for as
// long as the driver lives: a read kept open across calls would keep other
// stations from writing while this one waits for its user.
class EndReadsWhenIdle {
 public:
  explicit EndReadsWhenIdle(runtime::StorageDriver& driver)
      : scheduler_(runtime::Scheduler::Current()) {
    if (scheduler_ != nullptr) scheduler_->SetIdleHandler([&driver] { driver.EndReads(); });
  }
  ~EndReadsWhenIdle() {
    if (scheduler_ != nullptr) scheduler_->SetIdleHandler(nullptr);
  }
  EndReadsWhenIdle(const EndReadsWhenIdle&) = delete;
  EndReadsWhenIdle& operator=(const EndReadsWhenIdle&) = delete;

 private:
  runtime::Scheduler* scheduler_;
};

}  // namespace

ProcedureThreads::ProcedureThreads() : scheduler_(runtime::Scheduler::Current()) {
  data::SetThreadNumberSource(&runtime::CurrentThread);
  if (scheduler_ == nullptr) return;
  listener_ =
      scheduler_->AddEndListener([](int32_t thread) { data::FileManagers().ThreadEnded(thread); });
  runtime::ThreadBuffers& buffers = scheduler_->buffers();
  buffers.Register(&CUS, sizeof CUS);
  buffers.Register(&ITE, sizeof ITE);
  buffers.Register(&INV, sizeof INV);
  buffers.Register(&INVL, sizeof INVL);
}

ProcedureThreads::~ProcedureThreads() {
  if (scheduler_ != nullptr) scheduler_->RemoveEndListener(listener_);
  data::SetThreadNumberSource(nullptr);
}

void MainProcedure(const std::function<void(MainFrame&)>& prepare) {
  HelpFile = FindUserGuide();
  runtime::SetHelpFile(HelpFile);
  ProcedureThreads threads;
  GlobalErrors.Initialize();
  INIMgr.Setup(kSettingsFile);
  // Both the dictionary and the design database keep to the driver until
  // they are shut down.
  // A server that cannot be reached ends the program before anything
  // opens, rather than let it start on half a data set.
  std::unique_ptr<runtime::StorageDriver> storage = OpenChosenStorage(std::cerr);
  if (!storage) {
    GlobalErrors.Shutdown();
    return;
  }
  runtime::StorageDriver& driver = *storage;
  EndReadsWhenIdle endReads(driver);
  DictionarySetup(driver, GlobalErrors);
  {
    // The designer's tables open through the guarded open, so a locked or
    // damaged design file gets its standard warning instead of silence.
    layout::DesignDatabase designs(driver, designer::GuardedOpen);
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
