#include "tests/support/halt_recorder.h"

#include "runtime/system/halt.h"

namespace ledora::testing {

HaltRecorder::HaltRecorder() {
  runtime::SetHaltHandler([this](int exitCode, std::string_view text) {
    calls_.push_back({exitCode, std::string(text)});
  });
}

HaltRecorder::~HaltRecorder() { runtime::SetHaltHandler({}); }

}  // namespace ledora::testing
