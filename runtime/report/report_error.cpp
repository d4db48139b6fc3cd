#include "runtime/report/report_error.h"

#include <string>

#include "runtime/system/runtime_error.h"

namespace ledora::runtime {

void SetReportError(int32_t code, std::string_view detail) {
  SetFileError(code, std::to_string(code), detail);
}

}  // namespace ledora::runtime
