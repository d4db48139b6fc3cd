// Compiled by cmake/CheckTypedResults.cmake: once as it stands, which must
// succeed, and once per LEDORA_BARE_* macro, which passes a bare number where
// a typed code is expected and must fail for that reason.
#include "data/error_reporter.h"
#include "designer/standard_warnings.h"

namespace ledora::data {

Severity RaiseBeginningOfFile(ErrorReporter& reporter) {
#ifdef LEDORA_BARE_MESSAGE_NUMBER
  return static_cast<Severity>(reporter.Throw(36));
#else
  return static_cast<Severity>(reporter.Throw(MsgBeginningOfFile));
#endif
}

// A reporter whose messages of no severity go unseen.
class QuietReporter : public ErrorReporter {
 public:
  Severity HandleNone() override {
#ifdef LEDORA_BARE_SEVERITY
    return 0;
#else
    return SeverityNone;
#endif
  }
};

}  // namespace ledora::data

namespace ledora::designer {

uint32_t WarnOfDuplicate() {
#ifdef LEDORA_BARE_WARNING_NUMBER
  return StandardWarning(24, "Format order");
#else
  return StandardWarning(WarnDuplicateKey, "Format order");
#endif
}

}  // namespace ledora::designer
