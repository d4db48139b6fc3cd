#include "app/job.h"

#include <exception>
#include <ostream>
#include <string_view>

#include "runtime/system/halt.h"

namespace ledora::app {

namespace {

// The halt's message has been shown by then; the job only has to end failed
// rather than end the process with the halt's status 0.
class HaltCatcher {
 public:
  HaltCatcher()
      : previous_(runtime::SetHaltHandler([this](int, std::string_view) { halted_ = true; })) {}
  ~HaltCatcher() { runtime::SetHaltHandler(std::move(previous_)); }
  HaltCatcher(const HaltCatcher&) = delete;
  HaltCatcher& operator=(const HaltCatcher&) = delete;
  bool halted() const { return halted_; }

 private:
  runtime::HaltHandler previous_;
  bool halted_ = false;
};

}  // namespace

int RunJob(std::ostream& messages, const std::function<int()>& job) {
  HaltCatcher halt;
  int status;
  try {
    status = job();
  } catch (const std::exception& e) {
    messages << "ledora: " << e.what() << '\n';
    status = JobFailed;
  } catch (...) {
    messages << "ledora: the job stopped on an unexpected error\n";
    status = JobFailed;
  }
  if (halt.halted() && status == JobDone) status = JobFailed;
  return status;
}

std::string JobMessageText(std::string text) {
  for (std::string_view sentence :
       {"  Returning to previous window.", "  Press OK to end this application",
        " Filter and Range Limits ignored."}) {
    for (size_t at; (at = text.find(sentence)) != std::string::npos;) {
      text.erase(at, sentence.size());
    }
  }
  return text;
}

}  // namespace ledora::app
