#include "app/copy_data_job.h"

#include <memory>

#include "app/data_jobs.h"
#include "app/invoicing_dictionary.h"
#include "app/storage_choice.h"
#include "data/error_reporter.h"
#include "layout/design_database.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/system/file_names.h"
#include "runtime/system/runtime_error.h"
#include "runtime/system/staging_folder.h"

namespace ledora::app {

namespace {

// One data file on both sides; both share the record buffer of the file's
// declaration, so a record read from one is written to the other as it is.
struct Pair {
  std::string label;
  std::unique_ptr<runtime::DataFile> from;
  std::unique_ptr<runtime::DataFile> to;
  bool design = false;
};

std::string Describe(const std::string& what) {
  const runtime::ErrorState& state = runtime::CurrentError();
  std::string text = what + ": " + state.text;
  if (!state.fileErrorText.empty()) text += " (" + state.fileErrorText + ")";
  return text;
}

class Copy {
 public:
  Copy(runtime::StorageDriver& from, runtime::StorageDriver& to, std::ostream& messages)
      : from_(from), to_(to), messages_(messages) {}

  // Declares every file of the data set on both drivers.
  bool Declare(data::ErrorReporter& errors) {
    if (!DictionarySetup(from_, errors)) return false;
    dictionary_ = true;
    for (data::FileManager* manager :
         {Access_CUSTOMER, Access_ITEMS, Access_INVOICES, Access_INVOICEL}) {
      Add(manager->CurrentFile().declaration(), false);
    }
    designs_ = std::make_unique<layout::DesignDatabase>(from_);
    for (layout::DesignTable table :
         {layout::R_Types, layout::R_Bands, layout::R_Fields, layout::R_TypeFields,
          layout::R_Pformats, layout::R_Design, layout::R_Content, layout::R_StdDesign}) {
      Add(designs_->File(table)->declaration(), true);
    }
    return true;
  }
  ~Copy() {
    pairs_.clear();
    designs_.reset();
    if (dictionary_) DictionaryShutdown();
  }

  int Run();

 private:
  void Add(const runtime::FileDeclaration& declaration, bool design) {
    Pair& pair = pairs_.emplace_back();
    pair.label = declaration.label.empty() ? declaration.name : declaration.label;
    pair.from = from_.Declare(declaration);
    pair.to = to_.Declare(declaration);
    pair.design = design;
  }
  int Fail(const std::string& what) {
    messages_ << "copy-data: " << Describe(what) << "\n";
    return JobFailed;
  }
  bool OpenSources();
  bool TargetsEmpty();
  int MakeTargets();
  int CopyRecords();
  void CloseTargets();

  runtime::StorageDriver& from_;
  runtime::StorageDriver& to_;
  std::ostream& messages_;
  bool dictionary_ = false;
  std::unique_ptr<layout::DesignDatabase> designs_;
  std::vector<Pair> pairs_;
  // Files on disk are made here and moved into the data folder together
  // once the copy has committed, so that a failed or killed copy leaves
  // no file (nor journal) among the data.
  runtime::StagingFolder stage_;
};

// A missing invoicing file is an empty one; missing design files are left
// out, so that the other side makes its shipped designs itself.
bool Copy::OpenSources() {
  for (auto it = pairs_.begin(); it != pairs_.end();) {
    int32_t code = it->from->Open(runtime::AccessReadOnly | runtime::DenyWrite);
    if (code == runtime::ErrorFileNotFound) {
      it = it->design ? pairs_.erase(it) : it + 1;
      continue;
    }
    if (code != 0) {
      Fail("cannot read " + it->label);
      return false;
    }
    ++it;
  }
  return true;
}

bool Copy::TargetsEmpty() {
  for (Pair& pair : pairs_) {
    if (pair.to->Open(runtime::AccessReadOnly | runtime::DenyNone) != 0) continue;
    int64_t records = pair.to->Records();
    pair.to->Close();
    if (records != 0) {
      messages_ << "copy-data: " << pair.label << " already holds data there; nothing was copied\n";
      return false;
    }
  }
  return true;
}

// Files on disk are made before the transaction (SQLite attaches no new
// file inside one), in the staging folder; tables on a server are made
// inside it.
int Copy::MakeTargets() {
  if (to_.FilesOnDisk() && !stage_.Create(".")) {
    messages_ << "copy-data: cannot make a folder for the copy: " << stage_.error() << "\n";
    return JobFailed;
  }
  for (Pair& pair : pairs_) {
    if (to_.FilesOnDisk()) pair.to->SetName(stage_.path() + "/" + pair.to->declaration().name);
    if (pair.to->CreateIfMissing() != 0) return Fail("cannot make " + pair.label);
    if (pair.to->Open(runtime::AccessReadWrite | runtime::DenyWrite) != 0) {
      return Fail("cannot open " + pair.label);
    }
    if (to_.Mark(*pair.to) != 0) return Fail("cannot take part in the copy: " + pair.label);
  }
  return JobDone;
}

int Copy::CopyRecords() {
  for (Pair& pair : pairs_) {
    int64_t count = 0;
    if (pair.from->IsOpen()) {
      pair.from->Send("QUICKSCAN=on");
      if (pair.from->SetOrder(runtime::kRecordOrder) != 0) return Fail("cannot read " + pair.label);
      int32_t code;
      while ((code = pair.from->Next()) == 0) {
        if (pair.to->Add() != 0) return Fail("cannot copy a record of " + pair.label);
        ++count;
      }
      if (code != runtime::ErrorRecordNotAvailable) return Fail("cannot read " + pair.label);
    }
    messages_ << "copy-data: " << pair.label << ", " << count << " records\n";
  }
  return JobDone;
}

void Copy::CloseTargets() {
  for (Pair& pair : pairs_) pair.to->Close();
}

int Copy::Run() {
  if (!OpenSources()) return JobFailed;
  if (!TargetsEmpty()) return JobFailed;
  int status = JobDone;
  if (to_.FilesOnDisk()) status = MakeTargets();
  if (status == JobDone && to_.Logout(10) != 0) status = Fail("cannot begin the copy");
  bool begun = status == JobDone;
  if (status == JobDone && !to_.FilesOnDisk()) status = MakeTargets();
  if (status == JobDone) status = CopyRecords();
  if (status == JobDone && to_.Commit() != 0) {
    begun = false;
    status = Fail("cannot finish the copy");
  }
  if (status != JobDone && begun) to_.Rollback();
  CloseTargets();
  if (status == JobDone && to_.FilesOnDisk() && !stage_.Publish()) {
    messages_ << "copy-data: " << stage_.error() << "\n";
    status = JobFailed;
  }
  if (status != JobDone) {
    if (!to_.FilesOnDisk() || !runtime::PublishingBegun(stage_.path())) {
      messages_ << "copy-data: nothing was copied\n";
    }
    return status;
  }
  messages_ << "copy-data: done\n";
  return JobDone;
}

}  // namespace

int CopyDataJob(const std::vector<std::string>& args, std::ostream& messages) {
  if (args.size() != 2 || (args[0] != "--to" && args[0] != "--from") || args[1].empty()) {
    messages << "usage: ledora copy-data --to URL | --from URL\n";
    return JobUsage;
  }
  bool toServer = args[0] == "--to";
  // Copying back only reads the server: a mistyped data set is not made.
  std::unique_ptr<runtime::StorageDriver> server =
      OpenStorage(args[1], messages, toServer ? runtime::PgMakeSchema : runtime::PgSchemaMustExist);
  if (!server) return JobFailed;
  runtime::SqliteDriver folder;
  data::ErrorReporter errors;
  errors.Initialize();
  int status;
  {
    Copy copy(toServer ? static_cast<runtime::StorageDriver&>(folder) : *server,
              toServer ? *server : static_cast<runtime::StorageDriver&>(folder), messages);
    status = copy.Declare(errors) ? copy.Run() : JobFailed;
  }
  errors.Shutdown();
  return status;
}

}  // namespace ledora::app
