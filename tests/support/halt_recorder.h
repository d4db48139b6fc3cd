// Catches the program's halt for one test: while it lives, runtime::Halt
// records its exit code and text instead of ending the process.
#pragma once

#include <string>
#include <vector>

namespace ledora::testing {

class HaltRecorder {
 public:
  struct Call {
    int exitCode;
    std::string text;
  };

  HaltRecorder();
  ~HaltRecorder();  // restores the real halt
  HaltRecorder(const HaltRecorder&) = delete;
  HaltRecorder& operator=(const HaltRecorder&) = delete;

  const std::vector<Call>& calls() const { return calls_; }
  bool halted() const { return !calls_.empty(); }

 private:
  std::vector<Call> calls_;
};

}  // namespace ledora::testing
