// The application's main procedure: sets up the process-wide objects in
// order, runs the main frame until the user closes it, and shuts everything
// down in order. main() runs it on the first procedure thread.
#pragma once

#include <functional>
#include <string>

#include "app/main_frame.h"
#include "data/error_reporter.h"
#include "framework/ini_store.h"
#include "runtime/window/scheduler.h"

namespace ledora::app {

inline constexpr char kSettingsFile[] = "ledora.INI";

// The process-wide objects every procedure reaches.
extern data::ErrorReporter GlobalErrors;
extern framework::IniStore INIMgr;
extern std::string HelpFile;

// Procedures are fibers of the one scheduler: the data layer keys its
// per-thread file state on their numbers, and each record buffer gets one
// copy per procedure so that two procedures never write into each other's
// record (also for ITE, whose open state all of them share). The connection
// ends with the object, so that whatever runs after it (a test, a job) is
// not numbered by a scheduler that has stopped.
class ProcedureThreads {
 public:
  ProcedureThreads();
  ~ProcedureThreads();
  ProcedureThreads(const ProcedureThreads&) = delete;
  ProcedureThreads& operator=(const ProcedureThreads&) = delete;

 private:
  runtime::Scheduler* scheduler_;
  int32_t listener_ = 0;
};

// prepare runs when the frame exists and before it opens (tests give the
// menu entries procedures of their own through it).
void MainProcedure(const std::function<void(MainFrame&)>& prepare = {});

}  // namespace ledora::app
