#include "app/report_jobs.h"

#include <optional>
#include <ostream>

#include "app/data_jobs.h"
#include "layout/design_database.h"
#include "layout/shipped_reports.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/storage/storage_name.h"
#include "runtime/system/file_names.h"
#include "runtime/system/runtime_error.h"

namespace ledora::app {

namespace {

int MakeNewReports(const std::vector<std::string>& args, std::ostream& messages) {
  if (args.size() > 1 || (!args.empty() && args[0].starts_with("-"))) {
    messages << "usage: ledora make-new-reports [FILE]\n";
    return JobUsage;
  }
  std::string path = args.empty() ? "RPTNEW1.KDS" : args[0];
  layout::ShippedReports shipped;
  std::string error;
  if (!shipped.Parse(layout::ShippedReportsText(), &error)) {
    messages << "ledora: the shipped report definitions are damaged: " << error << "\n";
    return JobFailed;
  }
  runtime::SqliteDriver driver;
  layout::DesignDatabase designs(driver);
  if (shipped.MakeNewReportsFile(designs, path) != 0) {
    const runtime::ErrorState& state = runtime::CurrentError();
    messages << "ledora: cannot make " << path << ": " << state.text;
    if (!state.fileErrorText.empty()) messages << " (" << state.fileErrorText << ")";
    messages << "\n";
    return JobFailed;
  }
  // The name the storage gave the file: with its extension, and an
  // existing file's own letter case.
  std::optional<runtime::StorageName> made = runtime::StorageName::Parse(path);
  if (made) path = runtime::ResolveFileName(made->file);
  messages << "ledora: made " << path << " with " << shipped.types.size() << " report types\n";
  return JobDone;
}

}  // namespace

int MakeNewReportsJob(const std::vector<std::string>& args, std::ostream& messages) {
  return RunJob(messages, [&] { return MakeNewReports(args, messages); });
}

}  // namespace ledora::app
