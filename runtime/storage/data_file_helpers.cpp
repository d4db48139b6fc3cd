#include "runtime/storage/data_file_helpers.h"

#include <charconv>

#include "runtime/system/ascii_case.h"
#include "runtime/system/runtime_error.h"
#include "runtime/values/fixed_string.h"

namespace ledora::runtime {

int32_t Failure(int32_t code) {
  SetError(code);
  return code;
}

int32_t ApplyStorageCommand(std::string_view command, int* recoverSeconds, bool* quickScan) {
  size_t equals = command.find('=');
  std::string name = AsciiLower(TrimBlanks(command.substr(0, equals)));
  std::string value =
      equals == std::string_view::npos ? "" : AsciiLower(TrimBlanks(command.substr(equals + 1)));
  if (name == "recover") {
    int seconds = 0;
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), seconds);
    if (error != std::errc() || end != value.data() + value.size() || seconds < 0) {
      SetError(ErrorInvalidIndexString);
      return ErrorInvalidIndexString;
    }
    *recoverSeconds = std::min(seconds, 3600);
  } else if (name == "quickscan" && (value == "on" || value == "off")) {
    *quickScan = value == "on";
  } else {
    SetError(ErrorUnsupportedFunction);
    return ErrorUnsupportedFunction;
  }
  ClearError();
  return ErrorNone;
}

bool ParsePosition(std::string_view text, int64_t* pos) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *pos);
  return error == std::errc() && end == text.data() + text.size() && *pos > 0;
}

}  // namespace ledora::runtime
