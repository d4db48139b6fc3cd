#include "designer/form_routines.h"

#include "designer/standard_warnings.h"
#include "runtime/storage/storage_driver.h"
#include "runtime/system/message_service.h"
#include "runtime/system/runtime_error.h"

namespace ledora::designer {

namespace {

constexpr int kTransactionWait = 5;

FormResult Outcome(int32_t code) { return code == 0 ? FormResult{} : FormResult{FormFailed, code}; }

// Begins the transaction on the form's file; a refusal is warned about.
int32_t Begin(const FormFile& form, const char* kind) {
  runtime::StorageDriver& driver = form.file->driver();
  int32_t code = driver.Mark(*form.file);
  if (code == 0) code = driver.Logout(kTransactionWait);
  if (code != 0) StandardWarning(WarnTransactionFraming, form.label, kind);
  return code;
}

}  // namespace

FormResult ChangeFormRecord(const FormFile& form, bool keepsCopy) {
  if (int32_t code = Begin(form, "Update"); code != 0) return Outcome(code);
  runtime::DataFile& file = *form.file;
  std::string position = file.Position();
  int32_t code = file.Put();
  if (code == 0) code = file.driver().Commit();
  if (code == 0) return {};
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
  return Outcome(code);
}

FormResult DeleteFormRecord(const FormFile& form) {
  if (StandardWarning(WarnConfirmDelete) != runtime::ButtonOk) return {FormDeclined, 0};
  if (int32_t code = Begin(form, "Delete"); code != 0) return Outcome(code);
  int32_t code = form.file->Delete();
  if (code == 0) code = form.file->driver().Commit();
  if (code == 0) return {};
  SaveError();
  form.file->driver().Rollback();
  StandardWarning(WarnDeleteOperation, form.label);
  return Outcome(code);
}

FormResult InsertFormRecord(const FormFile& form) {
  int32_t code = form.file->Add();
  if (code == runtime::ErrorDuplicateKey) StandardWarning(WarnDuplicateKey, form.keyDescription);
  return Outcome(code);
}

}  // namespace ledora::designer
