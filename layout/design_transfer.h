// Moving designs between installations: export of tagged designs to an
// export file, import of one exported design, and the update of the
// definition tables from a new-reports file with a backup and a restore.
// The designer's export, import and start-up windows drive it and show its
// progress; its questions and errors go through runtime::Messages().
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "layout/design_database.h"

namespace ledora::layout {

// The texts shown; the designer fills them from its text table, so these
// are only the built-in defaults.
struct TransferTexts {
  std::string MsgNoDesignSelected = "No design selected - nothing to export";
  std::string MsgNoDesignSelectedCaption = "No design selected";
  std::string MsgCanNotExport = "Can not export the design, error: ";
  std::string MsgImpDesignExists =
      "The design already exists.  Please type in a new name and try again";
  std::string MsgImpDesignExistsCaption = "Design already exists";
  std::string MsgLastImportFailed =
      "Last import did not complete sucessfully.  Do you want to restore the original file?";
  std::string MsgThisImportFailed =
      "The import did not complete sucessfully.  Do you want to restore the original file?";
  std::string MsgCapImportError = "Error during import";
  std::string MsgRestoreFailed = "Could not restore backup.  Error reported: ";
  std::string MsgBackupFailed = "Could not make a backup copy; nothing was updated.  Error: ";
  std::string TypesFileName = "Updating Types";
  std::string FonTFileName = "Updating Fields on Types";
  std::string BonTypesFileName = "Updating Bands on Types";
  std::string FieldsFileName = "Updating Fields";
};

// What a progress display shows: a step text (the update's table, empty for
// export and import), records done out of total, and the percentage.
struct TransferProgress {
  std::string step;
  int32_t done = 0;
  int32_t total = 0;
  uint8_t percent = 0;
};
using ProgressCallback = std::function<void(const TransferProgress&)>;

// The points at which an operation of the update can fail; a test hook may
// fail any of them with an error code of its choice.
enum TransferStep : uint8_t {
  StepBackup,
  StepOpenTarget,
  StepOpenSource,
  StepDelete,
  StepAdd,
  StepClose,
  StepRestore,
};
using FaultHook = std::function<int32_t(TransferStep step, DesignTable table)>;

enum ImportResult : uint8_t {
  ImportDone = 0,
  ImportNameExists = 1,  // reported; the window puts the focus on the name entry
  ImportFailed = 2,      // the design record could not be added; nothing was copied
  ImportNoFile = 3,      // the export file's tables could not be opened
};

// The update ends as a window does: completed or cancelled.
enum UpdateResult : uint8_t { UpdateCompleted = 1, UpdateCancelled = 2 };

class DesignTransfer {
 public:
  explicit DesignTransfer(DesignDatabase& designs, TransferTexts texts = {},
                          ProgressCallback progress = {});

  // Writes the tagged designs, in tag order, with their content records to
  // the export file; newFile replaces its tables by empty ones, otherwise
  // the designs are appended. A design that cannot be added is reported and
  // skipped. Answers the number of designs exported.
  int ExportDesigns(const std::vector<int32_t>& tagged, std::string_view exportFile, bool newFile);

  // Copies the export design in the E_D buffer from exportFile into the
  // designs file under newName (blank: its own name) with the next free
  // design number, which is left in R_D.
  ImportResult ImportDesign(std::string_view exportFile, std::string_view newName);

  // Installs "RPTNEW1.KDS" (beside the definitions file) over the definition
  // tables, after taking the backup "RPTDES1.KDB"; offers the restore after
  // a failure and at the next start after an unfinished update. The
  // definition tables must not be in use.
  UpdateResult UpdateFromNewReports();

  // The files the update works on, beside the definitions file.
  std::string DefinitionsPath() const;
  std::string BackupPath() const;
  std::string NewReportsPath() const;

  void SetFaultHook(FaultHook hook) { fault_ = std::move(hook); }

 private:
  bool UseDesignTables();
  bool ExportOne(int32_t design);
  bool OpenExportTables(std::string_view exportFile, bool newFile);
  int32_t NextDesignNumber();
  void CopyContents(int32_t from, int32_t to);

  bool CopyTable(DesignTable target, DesignTable source, const std::string& step);
  bool OpenForUpdate(DesignTable table, TransferStep step, bool* opened);
  void DeleteAll(DesignTable table);
  void AddAll(DesignTable target, DesignTable source);
  void Advance();
  bool RestoreBackup();
  void NameImportTables();

  int32_t Fault(TransferStep step, DesignTable table);
  int32_t CopyFile(const std::string& from, const std::string& to, std::string* errorText);
  void ShowError(const std::string& text, const std::string& caption, int32_t code,
                 const std::string& errorText);
  void Report();

  DesignDatabase& designs_;
  TransferTexts texts_;
  ProgressCallback progress_;
  FaultHook fault_;
  TransferProgress state_;
  bool failed_ = false;
};

}  // namespace ledora::layout
