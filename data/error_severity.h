// The one-byte severities of the error reporter, and the result type of every file,
// relation, view and frame operation: they return a Severity, never a bare number.
#pragma once

#include <cstdint>

namespace ledora::data {

enum Severity : uint8_t {
  SeverityNone = 0,       // nothing shown; as a result: success or continue
  SeverityQuestion = 1,   // Yes/No question
  SeverityInternal = 2,   // treated like SeverityStop
  SeverityStop = 3,       // shown, then the program ends; as a result: fatal
  SeverityCancelled = 4,  // asked like a question; as a reply: the user said No
  SeverityInform = 5,     // information with OK; as a result: failed, error noted
};

}  // namespace ledora::data
