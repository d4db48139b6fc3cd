#include "designer/standard_warnings.h"

#include <optional>

#include "runtime/system/halt.h"
#include "runtime/system/message_service.h"
#include "runtime/system/runtime_error.h"

namespace ledora::designer {

using runtime::ButtonCancel;
using runtime::ButtonNo;
using runtime::ButtonOk;
using runtime::ButtonRetry;
using runtime::ButtonYes;

namespace {

constexpr uint32_t kOk = ButtonOk;
constexpr uint32_t kYesNo = ButtonYes | ButtonNo;
constexpr uint32_t kYesNoCancel = ButtonYes | ButtonNo | ButtonCancel;
constexpr uint32_t kOkCancel = ButtonOk | ButtonCancel;
constexpr uint32_t kRetryCancel = ButtonRetry | ButtonCancel;

constexpr int kStopExitCode = 1;

// %E, %N and %X stand for the error description and the two arguments.
struct Warning {
  const char* caption;
  const char* text;
  uint32_t buttons;
  bool question;
  const char* stop;  // halts with this text after the box; nullptr: no halt
};

const Warning kWarnings[kStandardWarningCount] = {
    {"Invalid File", "Error: (%E) accessing %N.  Press OK to end this application.", kOk, false,
     "Invalid File!"},
    {"Invalid Key", "%N key file is invalid.  Do you want to rebuild the key?", kYesNo, true,
     nullptr},
    {"Key Rebuild Error", "Error: (%E) repairing key for %N.  Press OK to end this application.",
     kOk, false, "Error Rebuilding Key!"},
    {"File Creation Error", "Error: (%E) creating %N.  Press OK to end this application.", kOk,
     false, "File Creation Error!"},
    {"File Creation Error",
     "Error: (%E) opening created file:%N.  Press OK to end this application.", kOk, false,
     "File Creation Error!"},
    {"Procedure not defined", "The Procedure %N has not been defined.", kOk, false, nullptr},
    {"", "Unable to read keyed record.  Error: %E.  Insert Aborted", kOk, false, nullptr},
    {"Range Error", "The value of %N must be lower than %X.", kOk, false, nullptr},
    {"Range Error", "The value of %N must be higher than %X.", kOk, false, nullptr},
    {"Range Error", "The value of %N must be between %X.", kOk, false, nullptr},
    {"Field Contents Error", "The value for %N must be found in the %X file.", kOk, false, nullptr},
    {"Referential Integrity Update Error",
     "This record is referenced from the file %N.  Linking field(s) have been restricted from "
     "change and have been reset to original values.",
     kOk, false, nullptr},
    {"Referential Integrity Delete Error",
     "This record is referenced from the file %N.  This record cannot be deleted while these "
     "references exist.",
     kOk, false, nullptr},
    {"Record Insert Error", "An error was experienced during the update of record.  Error: %E.",
     kOk, false, nullptr},
    {"Update Operation Error",
     "An error (%E) was experienced when attempting to update a record from the file.  Probable "
     "Cause: %N.",
     kOk, false, nullptr},
    {"Record Update Error",
     "An error was experienced changing this record.  Do you want to try to save again?",
     kYesNoCancel, false, nullptr},
    {"Delete Operation Error",
     "An error (%E) was experienced when attempting to delete a record from the file %N.", kOk,
     false, nullptr},
    {"Record Update Error",
     "An error was experienced deleting this record.  Do you want to try to save again?",
     kYesNoCancel, false, nullptr},
    {"Invalid Request",
     "This procedure was called to insert a record, however inserts are not allowed for this "
     "procedure.  Press OK to return to the calling procedure",
     kOk, false, nullptr},
    {"Invalid Request",
     "This procedure was called to change a record, however changes are not allowed for this "
     "procedure.  Press OK to return to the calling procedure",
     kOk, false, nullptr},
    {"Invalid Request",
     "This procedure was called to delete a record, however deletions are not allowed for this "
     "procedure.  Press OK to return to the calling procedure",
     kOk, false, nullptr},
    {"File Creation Not Allowed",
     "The File %Nwas not found, and creation of the file is not allowed.  Press OK to end this "
     "application.",
     kOk, false, "File Creation Error!"},
    {"Update Cancelled", "Are you sure you want to cancel?", kYesNo, true, nullptr},
    {"Duplicate Key Error", "Adding this record creates a duplicate entry for the key:%N", kOk,
     false, nullptr},
    {"Auto Increment Error",
     "Attempts to automatically number this record have failed.  Error: %E.", kRetryCancel, false,
     nullptr},
    {"File Load Error", "%N File Load Error.  Error: %E.", kOk, false, nullptr},
    {"Cancel Request", "Are you certain you want to stop loading %N?", kOkCancel, true, nullptr},
    {"File Load Error", "%N File Load Error.  The file you've requested contains no text.", kOk,
     false, nullptr},
    {"End of File Error",
     "The end of the viewed file was encountered.  Do you want to start again from the "
     "beginning?",
     kYesNo, true, nullptr},
    {"File Access Error", "File (%N) could not be opened.  Error: %E.", kOk, false, nullptr},
    {"Process PUT Error", "An error was experienced when making changes to the %N file.  Error: %E",
     kOk, false, nullptr},
    {"Confirm Delete",
     "You've selected to delete the highlighted record.  Press OK to confirm deletion of this "
     "record.",
     kOkCancel, true, nullptr},
    {"Update Cancelled", "Do you want to save the changes to this record?", kYesNoCancel, true,
     nullptr},
    {"Transaction Framing Error",
     "Error: (%E) attempting to frame the %X transaction on %N.  %X transaction cancelled.", kOk,
     false, nullptr},
    {"Record Retrieval Error",
     "Error: (%E) attempting to access a record from the %N file.  Returning to previous window.",
     kOk, false, nullptr},
    {"View Open Error",
     "Error: (%E) attempting to open the current VIEW. Filter and Range Limits ignored.", kOk,
     false, nullptr},
    {"Record Added", "This record has been added to the file. Do you want to add another record?",
     kYesNo, true, nullptr},
    {"Record Was Not Updated",
     "This record was changed by another station. Those changes will now be displayed. Use the "
     "Ditto Button or Ctrl+' to recall your changes.",
     kOk, false, nullptr},
};

const Warning kBeginningOfFile = {
    "Beginning of File Error",
    "The beginning of the viewed file was encountered.  Do you want to start again from the end "
    "of the file?",
    kYesNo, true, nullptr};
const Warning kProcessDelete = {
    "Process DELETE Error",
    "An error was experienced when deleting a record from the %N file.  Error: %E", kOk, false,
    nullptr};
const Warning kChangedByAnotherStation = {
    "Update Operation Error", "This record was changed by another station.", kOk, false, nullptr};

// The description of a saved error; empty when the saved error was none.
std::optional<std::string>& Saved() {
  static std::optional<std::string> saved;
  return saved;
}

std::string Described(std::string_view text, std::string_view code) {
  return std::string(text) + " (" + std::string(code) + ")";
}

// One pass, so that an argument holding "%E" is shown as written.
std::string Fill(const char* pattern, const std::string& e, std::string_view n,
                 std::string_view x) {
  std::string text;
  for (const char* p = pattern; *p != '\0'; ++p) {
    if (p[0] == '%' && (p[1] == 'E' || p[1] == 'N' || p[1] == 'X')) {
      text += p[1] == 'E' ? std::string_view(e) : p[1] == 'N' ? n : x;
      ++p;
    } else {
      text += *p;
    }
  }
  return text;
}

const Warning& Choose(StandardWarningNumber number, std::string_view x, const std::string& e) {
  if (number == WarnEndOfFile && x == "Beginning") return kBeginningOfFile;
  if (number == WarnProcessPut && x == "Delete") return kProcessDelete;
  if (number == WarnUpdateOperation && e.empty()) return kChangedByAnotherStation;
  return kWarnings[number - 1];
}

std::string CurrentDescription() {
  const runtime::ErrorState& error = runtime::CurrentError();
  if (error.code == 0) return {};
  if (error.code == runtime::ErrorFileSystem) {
    return Described(error.fileErrorText, error.fileErrorCode);
  }
  return Described(error.text, std::to_string(error.code));
}

}  // namespace

void SaveError() { Saved() = CurrentDescription(); }

void SaveError(int32_t code, std::string_view text) {
  Saved() = code == 0 ? std::string() : Described(text, std::to_string(code));
}

std::string ErrorDescription() { return Saved() ? *Saved() : CurrentDescription(); }

uint32_t StandardWarning(StandardWarningNumber number, std::string_view n, std::string_view x) {
  std::string e = ErrorDescription();
  Saved().reset();
  if (number < 1 || number > kStandardWarningCount) return 0;
  const Warning& warning = Choose(number, x, e);
  runtime::MessageRequest request;
  request.caption = warning.caption;
  request.text = Fill(warning.text, e, n, x);
  request.icon = warning.question ? runtime::IconQuestion : runtime::IconExclamation;
  request.buttons = warning.buttons;
  request.defaultButton = warning.buttons & ButtonOk    ? ButtonOk
                          : warning.buttons & ButtonYes ? ButtonYes
                                                        : ButtonRetry;
  uint32_t answer = runtime::Messages().Show(request);
  if (warning.stop != nullptr) {
    runtime::Halt(kStopExitCode, warning.stop);
  } else if (number == WarnInvalidKey && answer != ButtonYes) {
    runtime::Halt(kStopExitCode, "Invalid Key!");
  }
  return answer;
}

}  // namespace ledora::designer
