#include "layout/design_transfer.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "runtime/system/file_names.h"
#include "runtime/system/message_service.h"
#include "runtime/system/runtime_error.h"
#include "runtime/values/fixed_string.h"

namespace ledora::layout {

namespace fs = std::filesystem;
using runtime::Clip;
using runtime::DataFile;

namespace {

constexpr uint8_t kExclusiveWrite = runtime::AccessReadWrite | runtime::DenyWrite;

std::string Clipped(const std::string& text) { return std::string(Clip(text)); }

std::string ErrorDetail(int32_t code, const std::string& text) {
  return " " + std::to_string(code) + ", " + text;
}

int32_t SystemCode(const std::error_code& error) {
  switch (error.value()) {
    case ENOENT:
      return runtime::ErrorFileNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
      return runtime::ErrorAccessDenied;
    default:
      return runtime::ErrorSystemBase + error.value();
  }
}

std::string Beside(const std::string& definitions, const char* name) {
  fs::path folder = fs::path(definitions).parent_path();
  return runtime::ResolveFileName(folder.empty() ? std::string(name) : (folder / name).string());
}

}  // namespace

DesignTransfer::DesignTransfer(DesignDatabase& designs, TransferTexts texts,
                               ProgressCallback progress)
    : designs_(designs), texts_(std::move(texts)), progress_(std::move(progress)) {}

int32_t DesignTransfer::Fault(TransferStep step, DesignTable table) {
  int32_t code = fault_ ? fault_(step, table) : 0;
  if (code != 0) runtime::SetError(code);
  return code;
}

void DesignTransfer::Report() {
  state_.percent =
      state_.total > 0 ? static_cast<uint8_t>(int64_t{state_.done} * 100 / state_.total) : 0;
  if (progress_) progress_(state_);
}

void DesignTransfer::ShowError(const std::string& text, const std::string& caption, int32_t code,
                               const std::string& errorText) {
  runtime::MessageRequest request;
  request.text = Clipped(text) + ErrorDetail(code, errorText);
  request.caption = Clipped(caption);
  request.icon = runtime::IconExclamation;
  runtime::Messages().Show(request);
}

// ---- export ----

bool DesignTransfer::UseDesignTables() {
  if (!designs_.Use(R_Design)) return false;
  if (designs_.Use(R_Content)) return true;
  designs_.Release(R_Design);
  return false;
}

int DesignTransfer::ExportDesigns(const std::vector<int32_t>& tagged, std::string_view exportFile,
                                  bool newFile) {
  if (tagged.empty()) {
    runtime::Messages().Show({Clipped(texts_.MsgNoDesignSelected),
                              Clipped(texts_.MsgNoDesignSelectedCaption), runtime::IconExclamation,
                              runtime::ButtonOk, runtime::ButtonOk});
    return 0;
  }
  if (!OpenExportTables(exportFile, newFile)) return 0;
  if (!UseDesignTables()) {
    designs_.File(E_Design)->Close();
    designs_.File(E_Content)->Close();
    return 0;
  }
  int exported = 0;
  state_ = {};
  for (size_t i = 0; i < tagged.size(); ++i) {
    if (ExportOne(tagged[i])) ++exported;
    state_.percent = static_cast<uint8_t>((i + 1) * 100 / tagged.size());
    if (progress_) progress_(state_);
  }
  designs_.File(E_Design)->Close();
  designs_.File(E_Content)->Close();
  designs_.Release(R_Content);
  designs_.Release(R_Design);
  return exported;
}

bool DesignTransfer::OpenExportTables(std::string_view exportFile, bool newFile) {
  designs_.SetExportFile(exportFile);
  DataFile& design = *designs_.File(E_Design);
  DataFile& content = *designs_.File(E_Content);
  int32_t code = 0;
  if (newFile) {
    code = design.Create();
    if (code == 0) code = content.Create();
  }
  if (code == 0) code = design.Open(kExclusiveWrite);
  if (code == 0) {
    code = content.Open(kExclusiveWrite);
    if (code != 0) design.Close();
  }
  if (code == 0) return true;
  // Without its tables nothing can be exported; saying so beats an empty file.
  std::string errorText = runtime::CurrentError().text;
  ShowError(texts_.MsgCanNotExport, texts_.MsgCanNotExport, code, errorText);
  return false;
}

bool DesignTransfer::ExportOne(int32_t design) {
  R_D = DesignRecord{};
  R_D.DESIGNNUMBER = design;
  if (designs_.File(R_Design)->Fetch(DesignRecord::DESIGNNUMBERKEY) != 0) return false;
  E_D = DesignRecord{};
  E_D.DESIGNNUMBER = R_D.DESIGNNUMBER;
  E_D.TYPENUMBER = R_D.TYPENUMBER;
  std::memcpy(E_D.DESIGNNAME, R_D.DESIGNNAME, sizeof E_D.DESIGNNAME);
  int32_t code = designs_.File(E_Design)->Add();
  if (code != 0) {
    ShowError(texts_.MsgCanNotExport, texts_.MsgCanNotExport, code, runtime::CurrentError().text);
    return false;
  }
  DataFile& contents = *designs_.File(R_Content);
  R_C = ContentRecord{};
  R_C.DESIGNNUMBER = design;
  R_C.SEQUENCENUMBER = 1;
  state_.done = 0;
  if (contents.SetOnKey(ContentRecord::DESIGNNUMBERSEQ) != 0) return true;
  while (contents.Next() == 0 && R_C.DESIGNNUMBER == design) {
    E_C = R_C;
    designs_.File(E_Content)->Add();
    ++state_.done;
    if (progress_) progress_(state_);
  }
  return true;
}

// ---- import ----

ImportResult DesignTransfer::ImportDesign(std::string_view exportFile, std::string_view newName) {
  const DesignRecord selected = E_D;
  std::string target(Clip(newName));
  if (target.empty()) target = std::string(runtime::ClippedField(selected.DESIGNNAME));

  designs_.SetExportFile(exportFile);
  if (!designs_.Use(E_Content, false)) return ImportNoFile;
  if (!UseDesignTables()) {
    designs_.Release(E_Content);
    return ImportNoFile;
  }
  ImportResult result = ImportDone;
  R_D = DesignRecord{};
  R_D.TYPENUMBER = selected.TYPENUMBER;
  runtime::AssignPadded(R_D.DESIGNNAME, target);
  if (designs_.File(R_Design)->Fetch(DesignRecord::TYPEKEY) == 0) {
    runtime::Messages().Show({Clipped(texts_.MsgImpDesignExists),
                              std::string(runtime::ClippedField(selected.DESIGNNAME)) + " " +
                                  Clipped(texts_.MsgImpDesignExistsCaption),
                              runtime::IconExclamation, runtime::ButtonOk, runtime::ButtonOk});
    result = ImportNameExists;
  } else {
    int32_t number = NextDesignNumber();
    R_D = DesignRecord{};
    R_D.DESIGNNUMBER = number;
    R_D.TYPENUMBER = selected.TYPENUMBER;
    runtime::AssignPadded(R_D.DESIGNNAME, target);
    if (designs_.File(R_Design)->Add() != 0) {
      result = ImportFailed;
    } else {
      CopyContents(selected.DESIGNNUMBER, number);
    }
  }
  designs_.Release(R_Content);
  designs_.Release(R_Design);
  designs_.Release(E_Content);
  E_D = selected;
  return result;
}

int32_t DesignTransfer::NextDesignNumber() {
  DataFile& file = *designs_.File(R_Design);
  if (file.SetOrder(DesignRecord::DESIGNNUMBERKEY) == 0 && file.Previous() == 0) {
    return R_D.DESIGNNUMBER + 1;
  }
  return 1;
}

void DesignTransfer::CopyContents(int32_t from, int32_t to) {
  DataFile& source = *designs_.File(E_Content);
  E_C = ContentRecord{};
  E_C.DESIGNNUMBER = from;
  state_ = {};
  if (source.SetOnKey(ContentRecord::DESIGNNUMBERSEQ) != 0) return;
  while (source.Next() == 0 && E_C.DESIGNNUMBER == from) {
    R_C = E_C;
    R_C.DESIGNNUMBER = to;
    designs_.File(R_Content)->Add();
    ++state_.done;
    if (progress_) progress_(state_);
  }
}

// ---- update from the new-reports file ----

std::string DesignTransfer::DefinitionsPath() const {
  return runtime::ResolveFileName(Clip(designs_.DefinitionsFile));
}

std::string DesignTransfer::BackupPath() const {
  fs::path definitions(std::string(Clip(designs_.DefinitionsFile)));
  std::string stem = runtime::ToUpper1252(definitions.stem().string());
  return Beside(definitions.string(), (stem + ".KDB").c_str());
}

std::string DesignTransfer::NewReportsPath() const {
  return Beside(std::string(Clip(designs_.DefinitionsFile)), "RPTNEW1.KDS");
}

UpdateResult DesignTransfer::UpdateFromNewReports() {
  if (runtime::FileExists(BackupPath())) {
    uint32_t answer = runtime::Messages().Show(
        {Clipped(texts_.MsgLastImportFailed), Clipped(texts_.MsgCapImportError),
         runtime::IconQuestion, runtime::ButtonYes | runtime::ButtonNo, runtime::ButtonYes});
    if (answer != runtime::ButtonYes || !RestoreBackup()) return UpdateCancelled;
  }
  if (!runtime::FileExists(NewReportsPath())) return UpdateCompleted;

  std::string errorText;
  int32_t code = Fault(StepBackup, R_Types);
  if (code != 0) {
    errorText = runtime::CurrentError().text;
  } else {
    code = CopyFile(DefinitionsPath(), BackupPath(), &errorText);
  }
  if (code != 0) {
    // A half-written backup would be offered for restore at the next start,
    // and an update without a backup could not be undone: stop here.
    std::error_code ignored;
    fs::remove(BackupPath(), ignored);
    ShowError(texts_.MsgBackupFailed, texts_.MsgCapImportError, code, errorText);
    return UpdateCancelled;
  }

  NameImportTables();
  failed_ = false;
  CopyTable(R_Types, I_Types, texts_.TypesFileName);
  CopyTable(R_TypeFields, I_TypeFields, texts_.FonTFileName);
  CopyTable(R_Bands, I_Bands, texts_.BonTypesFileName);
  CopyTable(R_Fields, I_Fields, texts_.FieldsFileName);
  if (!failed_) {
    std::error_code ignored;
    fs::remove(NewReportsPath(), ignored);
    fs::remove(BackupPath(), ignored);
    return UpdateCompleted;
  }
  uint32_t answer = runtime::Messages().Show(
      {Clipped(texts_.MsgThisImportFailed), Clipped(texts_.MsgCapImportError),
       runtime::IconQuestion, runtime::ButtonYes | runtime::ButtonNo, runtime::ButtonYes});
  if (answer == runtime::ButtonYes) RestoreBackup();
  return UpdateCancelled;
}

// The mirrors are named "RptNew1" in the current folder; a definitions file
// elsewhere takes its new-reports file along.
void DesignTransfer::NameImportTables() {
  fs::path folder = fs::path(std::string(Clip(designs_.DefinitionsFile))).parent_path();
  if (folder.empty()) return;
  const std::pair<DesignTable, const char*> mirrors[] = {{I_Types, "LTypes"},
                                                         {I_Bands, "BonTypes"},
                                                         {I_Fields, "AllFields"},
                                                         {I_TypeFields, "FonTypes"}};
  for (const auto& [table, name] : mirrors) {
    designs_.File(table)->SetName(NewReportsPath() + "\\!" + name);
  }
}

bool DesignTransfer::RestoreBackup() {
  std::string errorText;
  int32_t code = Fault(StepRestore, R_Types);
  if (code != 0) {
    errorText = runtime::CurrentError().text;
  } else {
    code = CopyFile(BackupPath(), DefinitionsPath(), &errorText);
  }
  if (code == 0) return true;
  ShowError(texts_.MsgRestoreFailed, texts_.MsgCapImportError, code, errorText);
  return false;
}

int32_t DesignTransfer::CopyFile(const std::string& from, const std::string& to,
                                 std::string* errorText) {
  std::error_code error;
  fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
  if (!error) return 0;
  int32_t code = SystemCode(error);
  *errorText = code < runtime::ErrorSystemBase ? std::string(runtime::RuntimeErrorText(code))
                                               : error.message();
  return code;
}

bool DesignTransfer::CopyTable(DesignTable target, DesignTable source, const std::string& step) {
  bool targetOpened = false;
  bool sourceOpened = false;
  bool targetOpen = OpenForUpdate(target, StepOpenTarget, &targetOpened);
  bool sourceOpen = OpenForUpdate(source, StepOpenSource, &sourceOpened);
  state_ = {};
  state_.step = Clipped(step);
  int64_t records = 0;
  if (sourceOpen) records += std::max<int64_t>(designs_.File(source)->Records(), 0);
  if (targetOpen) records += std::max<int64_t>(designs_.File(target)->Records(), 0);
  state_.total = static_cast<int32_t>(records);
  Report();
  if (targetOpen) DeleteAll(target);
  if (targetOpen && sourceOpen) AddAll(target, source);
  for (auto [table, opened] : {std::pair{target, targetOpened}, std::pair{source, sourceOpened}}) {
    if (!opened) continue;
    // Closed even when the close is reported failed: a restore must not copy
    // over a file that is still attached.
    bool faulted = Fault(StepClose, table) != 0;
    if (designs_.File(table)->Close() != 0 || faulted) failed_ = true;
  }
  return !failed_;
}

bool DesignTransfer::OpenForUpdate(DesignTable table, TransferStep step, bool* opened) {
  if (Fault(step, table) != 0) {
    failed_ = true;
    return false;
  }
  DataFile& file = *designs_.File(table);
  if (file.IsOpen()) return true;
  if (file.Open(kExclusiveWrite) != 0) {
    failed_ = true;
    return false;
  }
  *opened = true;
  return true;
}

void DesignTransfer::DeleteAll(DesignTable table) {
  DataFile& file = *designs_.File(table);
  if (file.SetOrder(runtime::kRecordOrder) != 0) {
    failed_ = true;
    return;
  }
  int32_t code;
  while ((code = file.Next()) == 0) {
    if (Fault(StepDelete, table) != 0 || file.Delete() != 0) failed_ = true;
    Advance();
  }
  if (code != runtime::ErrorRecordNotAvailable) failed_ = true;
}

void DesignTransfer::AddAll(DesignTable target, DesignTable source) {
  DataFile& from = *designs_.File(source);
  DataFile& to = *designs_.File(target);
  if (from.SetOrder(runtime::kRecordOrder) != 0) {
    failed_ = true;
    return;
  }
  const size_t size = DesignTableLayout(target).recordSize();
  int32_t code;
  while ((code = from.Next()) == 0) {
    std::memcpy(DesignTableBuffer(target), DesignTableBuffer(source), size);
    if (Fault(StepAdd, target) != 0 || to.Add() != 0) failed_ = true;
    Advance();
  }
  if (code != runtime::ErrorRecordNotAvailable) failed_ = true;
}

void DesignTransfer::Advance() {
  ++state_.done;
  Report();
}

}  // namespace ledora::layout
