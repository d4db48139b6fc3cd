#include "runtime/storage/storage_name.h"

namespace ledora::runtime {

namespace {

std::string_view Clip(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return text;
}

// The last path component; both separators count, as names may have been
// written on Windows.
std::string_view BaseName(std::string_view path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::optional<StorageName> StorageName::Parse(std::string_view name) {
  name = Clip(name);
  StorageName result;
  std::string_view file = name;
  size_t bang = name.find("\\!");
  if (bang != std::string_view::npos) {
    file = Clip(name.substr(0, bang));
    result.table = std::string(Clip(name.substr(bang + 2)));
    result.multiTable = true;
    if (result.table.empty()) return std::nullopt;
  }
  std::string_view base = BaseName(file);
  if (base.empty() || base == "." || base == "..") return std::nullopt;
  result.file = std::string(file);
  size_t dot = base.rfind('.');
  if (dot == std::string_view::npos) {
    result.file += ".KDS";
  } else {
    base = base.substr(0, dot);
    if (base.empty()) return std::nullopt;
  }
  if (!result.multiTable) result.table = std::string(base);
  return result;
}

std::string LabelName(std::string_view label) {
  size_t colon = label.find(':');
  return std::string(colon == std::string_view::npos ? label : label.substr(colon + 1));
}

}  // namespace ledora::runtime
