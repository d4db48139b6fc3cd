// The runtime's error state: the last error code with its text, and the
// storage driver's own code and text. Every failing runtime operation sets
// it; the error reporter snapshots it when it raises a message.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ledora::runtime {

enum RuntimeErrorCode : int32_t {
  ErrorNone = 0,
  ErrorFileNotFound = 2,
  ErrorPathNotFound = 3,
  ErrorTooManyOpenFiles = 4,
  ErrorAccessDenied = 5,
  ErrorMemoryCorrupted = 7,
  ErrorInsufficientMemory = 8,
  ErrorEntryNotFound = 30,
  ErrorFileAlreadyLocked = 32,
  ErrorRecordNotAvailable = 33,
  ErrorRecordNotFound = 35,
  ErrorInvalidDataFile = 36,
  ErrorFileNotOpen = 37,
  ErrorInvalidKeyFile = 38,
  ErrorDuplicateKey = 40,
  ErrorRecordHeld = 43,
  ErrorInvalidFilename = 45,
  ErrorKeyMustBeRebuilt = 46,
  ErrorInvalidRecordDeclaration = 47,
  ErrorUnableToLogTransaction = 48,
  ErrorFileAlreadyOpen = 52,
  ErrorInvalidVeltraFile = 53,
  ErrorNoCreateAttribute = 54,
  ErrorFileMustBeShared = 55,
  ErrorLogoutAlreadyActive = 56,
  ErrorInvalidMemoFile = 57,
  ErrorExclusiveAccessRequired = 63,
  ErrorSharingViolation = 64,
  ErrorUnableToRollback = 65,
  ErrorMemoFileMissing = 73,
  ErrorInvalidFieldType = 75,
  ErrorInvalidIndexString = 76,
  ErrorUnableToAccessIndex = 77,
  ErrorInvalidParameterCount = 78,
  ErrorUnsupportedDataType = 79,
  ErrorUnsupportedFunction = 80,
  ErrorUnknown = 81,
  ErrorInvalidKeyLength = 88,
  ErrorRecordChanged = 89,
  ErrorFileSystem = 90,
  ErrorLogoutNotActive = 91,
  ErrorBuildInProgress = 92,
  ErrorBuildCancelled = 93,
  ErrorServerNotFound = 95,
  ErrorRemoteObjectNotFound = 96,
  // Operating-system errors: the system's own error number plus this base.
  ErrorSystemBase = 300,
  ErrorExpressionSyntax = 800,
  ErrorExpressionUnknownName = 801,
  ErrorExpressionEvaluation = 802,
};

// The runtime's text for a code; codes without a text read "Unknown Error",
// and code 0 (no error) has the empty text.
std::string_view RuntimeErrorText(int32_t code);

struct ErrorState {
  int32_t code = 0;
  std::string text;
  std::string fileErrorCode;  // the driver's own code, as text
  std::string fileErrorText;
};

// Kept per process because callers read it after a failure: the error reporter, the
// designer's warnings, the jobs. One GUI thread; no fiber switches mid-failure.
const ErrorState& CurrentError();
void SetError(int32_t code);  // text from the table, driver values cleared
// Code 90 with the driver's code and message (SQLite's, for storage).
void SetFileError(int32_t code, std::string_view driverCode, std::string_view driverText);
void ClearError();

}  // namespace ledora::runtime
