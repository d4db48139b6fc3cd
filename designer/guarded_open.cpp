#include "designer/guarded_open.h"

#include <string>

#include "designer/standard_warnings.h"
#include "runtime/system/halt.h"
#include "runtime/system/message_service.h"
#include "runtime/system/runtime_error.h"

namespace ledora::designer {

namespace {

constexpr int kStopExitCode = 1;

bool Opened(int32_t code) {
  return code == runtime::ErrorNone || code == runtime::ErrorFileAlreadyOpen;
}

// The storage driver reports a file that another station keeps locked past
// its wait as denied access on open, and as locked elsewhere.
bool Locked(int32_t code) {
  return code == runtime::ErrorFileAlreadyLocked || code == runtime::ErrorAccessDenied;
}

std::string Label(const runtime::DataFile& file) {
  const runtime::FileDeclaration& declaration = file.declaration();
  return declaration.label.empty() ? declaration.name : declaration.label;
}

// Creation that fails says so as creating, an open of the new file that
// fails as opening the created file; both end the program.
bool CreateAndOpen(runtime::DataFile& file, uint8_t mode, const std::string& name) {
  if (file.CreateIfMissing() != runtime::ErrorNone) {
    StandardWarning(WarnFileCreation, name);
    return false;
  }
  if (Opened(file.Open(mode))) return true;
  StandardWarning(WarnCreatedFileOpen, name);
  return false;
}

}  // namespace

bool GuardedOpen(runtime::DataFile& file, uint8_t mode, bool create) {
  std::string name = Label(file);
  int32_t code = file.Open(mode);
  if (Locked(code)) {
    file.Send("Recover=" + std::to_string(kGuardedOpenRecoverSeconds));
    code = file.Open(mode);
  }
  switch (code) {
    case runtime::ErrorInvalidRecordDeclaration:
      StandardWarning(WarnInvalidFile, name);
      return false;
    case runtime::ErrorKeyMustBeRebuilt:
      if (StandardWarning(WarnInvalidKey, name) != runtime::ButtonYes) return false;
      if (file.BuildKeys() != runtime::ErrorNone) {
        StandardWarning(WarnKeyRebuild, name);
        return false;
      }
      code = file.Open(mode);
      break;
    case runtime::ErrorFileNotFound:
      if (create) return CreateAndOpen(file, mode, name);
      StandardWarning(WarnFileCreation, name);
      return false;
    default:
      break;
  }
  if (Opened(code)) return true;
  StandardWarning(WarnFileAccess, name);
  runtime::Halt(kStopExitCode, "Disk Error");
  return false;
}

}  // namespace ledora::designer
