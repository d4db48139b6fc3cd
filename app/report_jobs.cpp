#include "app/report_jobs.h"

#include <filesystem>
#include <optional>
#include <ostream>

#include "app/data_jobs.h"
#include "layout/design_database.h"
#include "layout/shipped_reports.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/storage/storage_name.h"
#include "runtime/system/ascii_case.h"
#include "runtime/system/file_names.h"
#include "runtime/system/output_file.h"
#include "runtime/system/runtime_error.h"

namespace ledora::app {

namespace {

constexpr char kNewReportsFile[] = "RPTNEW1.KDS";

// The name the storage gives the file: with its extension, and an existing
// file's own letter case, so that the new file replaces it.
std::optional<std::string> TargetName(const std::string& path) {
  if (path.find("\\!") != std::string::npos) return std::nullopt;
  std::optional<runtime::StorageName> name = runtime::StorageName::Parse(path);
  if (!name) return std::nullopt;
  return runtime::ResolveFileName(name->file);
}

// In the data folder this job makes new files, or replaces the pending
// new-reports file; a data file by any other name (a file the folder keeps,
// or will keep once made, or one already there) is refused.
bool RefusedTarget(const std::string& target) {
  if (!runtime::IsDataFolderFile(target)) return false;
  std::string name = std::filesystem::path(target).filename().string();
  if (runtime::EqualIgnoringAsciiCase(name, kNewReportsFile)) return false;
  for (const char* kept :
       {"CUSTOMER.KDS", "ITEMS.KDS", "INVOICES.KDS", "INVOICEL.KDS", "RptDes1.KDS", "NewRpt.KDS"}) {
    if (runtime::EqualIgnoringAsciiCase(name, kept)) return true;
  }
  std::error_code ignored;
  return std::filesystem::exists(std::filesystem::symlink_status(target, ignored)) ||
         !runtime::AsciiUpper(name).ends_with(".KDS");
}

int MakeNewReports(const std::vector<std::string>& args, std::ostream& messages) {
  std::optional<std::string> target =
      TargetName(args.empty() || args.size() > 1 ? kNewReportsFile : args[0]);
  if (args.size() > 1 || (!args.empty() && args[0].starts_with("-")) || !target) {
    messages << "usage: ledora make-new-reports [FILE]\n";
    return JobUsage;
  }
  if (RefusedTarget(*target)) {
    messages << "ledora: " << *target
             << " is a data or settings file of the data folder; choose another output\n";
    return JobFailed;
  }
  layout::ShippedReports shipped;
  std::string error;
  if (!shipped.Parse(layout::ShippedReportsText(), &error)) {
    messages << "ledora: the shipped report definitions are damaged: " << error << "\n";
    return JobFailed;
  }
  runtime::OutputFile output;
  if (!output.Open(*target, runtime::OutputFile::CheckedByCaller)) {
    messages << "ledora: cannot make " << *target << " (" << output.error() << ")\n";
    return JobFailed;
  }
  int32_t made;
  {
    runtime::SqliteDriver driver;
    layout::DesignDatabase designs(driver);
    made = shipped.MakeNewReportsFile(designs, output.temporary());
  }
  if (made != 0) {
    const runtime::ErrorState& state = runtime::CurrentError();
    messages << "ledora: cannot make " << *target << ": " << state.text;
    if (!state.fileErrorText.empty()) messages << " (" << state.fileErrorText << ")";
    messages << "\n";
    return JobFailed;
  }
  if (!output.Commit()) {
    messages << "ledora: " << output.error() << "\n";
    return JobFailed;
  }
  messages << "ledora: made " << *target << " with " << shipped.types.size() << " report types\n";
  return JobDone;
}

}  // namespace

int MakeNewReportsJob(const std::vector<std::string>& args, std::ostream& messages) {
  return RunJob(messages, [&] { return MakeNewReports(args, messages); });
}

}  // namespace ledora::app
