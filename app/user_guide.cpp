#include "app/user_guide.h"

#include <filesystem>
#include <system_error>

namespace ledora::app {

std::string FindUserGuide() {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path program = fs::read_symlink("/proc/self/exe", error).parent_path();
  const fs::path places[] = {
      program / "guide" / "index.html",
      (program / LEDORA_INSTALLED_GUIDE).lexically_normal(),
      fs::path(LEDORA_SOURCE_GUIDE),
  };
  for (const fs::path& place : places) {
    if (!place.empty() && fs::exists(place, error)) return place.string();
  }
  return "";
}

}  // namespace ledora::app
