// The report engine's runtime error codes (their texts are the runtime's).
// Every failing report operation sets one of them, with a detail, in the
// runtime error state.
#pragma once

#include <cstdint>
#include <string_view>

namespace ledora::runtime {

enum ReportErrorCode : int32_t {
  ErrorReportNotOpen = 521,
  ErrorReportAlreadyOpen = 522,
  ErrorBandNotFound = 523,
  ErrorControlNotFound = 524,
  ErrorControlNumberInUse = 525,
  ErrorInvalidReportSetting = 526,
  ErrorPageImageUnreadable = 527,
  ErrorPageImageWrite = 528,
  ErrorPrintFailed = 529,
  ErrorPrinterNotAvailable = 543,
};

// Sets code in the runtime error state with detail as the driver text, so
// the error reporter can show what exactly went wrong.
void SetReportError(int32_t code, std::string_view detail = {});

}  // namespace ledora::runtime
