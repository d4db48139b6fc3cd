#include "runtime/system/file_names.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "runtime/system/ascii_case.h"

namespace ledora::runtime {

namespace fs = std::filesystem;

namespace {

std::string WithSlashes(std::string_view name) {
  std::string path(name);
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

// The entry of folder whose name matches part; part itself when none does.
std::string MatchEntry(const fs::path& folder, const std::string& part) {
  std::error_code ec;
  if (fs::exists(folder / part, ec)) return part;
  for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end;
       !ec && it != end; it.increment(ec)) {
    std::string entry = it->path().filename().string();
    if (EqualIgnoringAsciiCase(entry, part)) return entry;
  }
  return part;
}

}  // namespace

std::string ResolveFileName(std::string_view name) {
  std::string path = WithSlashes(name);
  std::error_code ec;
  if (path.empty() || fs::exists(path, ec)) return path;

  fs::path written(path);
  fs::path relative = written.relative_path();
  std::vector<fs::path> parts(relative.begin(), relative.end());
  fs::path resolved = written.root_path();
  for (size_t i = 0; i < parts.size(); ++i) {
    std::string text = parts[i].string();
    if (text.empty() || text == "." || text == "..") {
      resolved /= parts[i];
      continue;
    }
    resolved /= MatchEntry(resolved, text);
    if (!fs::exists(resolved, ec)) {
      // Nothing further down can exist; keep the rest as written.
      for (size_t j = i + 1; j < parts.size(); ++j) resolved /= parts[j];
      break;
    }
  }
  return resolved.lexically_normal().string();
}

bool FileExists(std::string_view name) {
  std::error_code ec;
  return fs::exists(ResolveFileName(name), ec);
}

}  // namespace ledora::runtime
