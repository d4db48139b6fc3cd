#include "app/program_place.h"

#include <system_error>

namespace ledora::app {

std::string FindFromProgram(std::initializer_list<std::filesystem::path> places) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path program = fs::read_symlink("/proc/self/exe", error).parent_path();
  for (const fs::path& place : places) {
    fs::path found = (program / place).lexically_normal();
    if (!place.empty() && fs::exists(found, error)) return found.string();
  }
  return "";
}

}  // namespace ledora::app
