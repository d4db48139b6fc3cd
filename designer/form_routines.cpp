#include "designer/form_routines.h"

#include "designer/standard_warnings.h"
#include "runtime/storage/storage_driver.h"
#include "runtime/system/message_service.h"
#include "runtime/system/runtime_error.h"

namespace ledora::designer {

namespace {

constexpr int kTransactionWait = 5;
constexpr int32_t kCancelled = 4;

enum FormWarning : int {
  WarnUpdateOperation = 15,
  WarnDeleteOperation = 17,
  WarnDuplicateKey = 24,
  WarnConfirmDelete = 32,
  WarnTransactionFraming = 34,
  WarnRecordNotUpdated = 38,
};

// Begins the transaction on the form's file; a refusal is warned about.
bool Begin(const FormFile& form, const char* kind) {
  runtime::StorageDriver& driver = form.file->driver();
  int32_t code = driver.Mark(*form.file);
  if (code == 0) code = driver.Logout(kTransactionWait);
  if (code == 0) return true;
  StandardWarning(WarnTransactionFraming, form.label, kind);
  return false;
}

}  // namespace

int32_t ChangeFormRecord(const FormFile& form, bool keepsCopy) {
  if (!Begin(form, "Update")) return runtime::CurrentError().code;
  runtime::DataFile& file = *form.file;
  std::string position = file.Position();
  int32_t code = file.Put();
  if (code == 0) code = file.driver().Commit();
  if (code == 0) return 0;
  SaveError();
  file.driver().Rollback();
  if (code != runtime::ErrorRecordChanged) {
    StandardWarning(WarnUpdateOperation, form.label);
  } else if (keepsCopy) {
    StandardWarning(WarnRecordNotUpdated);
  } else {
    StandardWarning(WarnUpdateOperation, "Record Changed by Another Station");
  }
  if (!position.empty()) file.FetchAt(position);
  return code;
}

int32_t DeleteFormRecord(const FormFile& form) {
  if (StandardWarning(WarnConfirmDelete) != runtime::ButtonOk) return kCancelled;
  if (!Begin(form, "Delete")) return runtime::CurrentError().code;
  int32_t code = form.file->Delete();
  if (code == 0) code = form.file->driver().Commit();
  if (code == 0) return 0;
  SaveError();
  form.file->driver().Rollback();
  StandardWarning(WarnDeleteOperation, form.label);
  return code;
}

int32_t InsertFormRecord(const FormFile& form) {
  int32_t code = form.file->Add();
  if (code == runtime::ErrorDuplicateKey) StandardWarning(WarnDuplicateKey, form.keyDescription);
  return code;
}

}  // namespace ledora::designer
