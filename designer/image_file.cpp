#include "designer/image_file.h"

#include <filesystem>
#include <system_error>

#include "designer/designer_messages.h"
#include "runtime/values/fixed_string.h"
#include "runtime/window/common_dialogs.h"

namespace ledora::designer {

namespace {

// A folder with its separator at the end, as names are compared.
std::string WithSeparator(std::string folder) {
  if (folder.empty() || (folder.back() != '/' && folder.back() != '\\')) folder += '/';
  return folder;
}

}  // namespace

std::string ImageFileName(std::string_view chosen) {
  std::filesystem::path path(chosen);
  std::error_code error;
  std::filesystem::path here = std::filesystem::current_path(error);
  if (error || !path.has_parent_path()) return std::string(chosen);
  // Letter case does not tell files apart here (the file layer matches
  // names without it).
  std::string folder = runtime::ToUpper1252(WithSeparator(path.parent_path().string()));
  if (folder == runtime::ToUpper1252(WithSeparator(here.string()))) {
    return path.filename().string();
  }
  return std::string(chosen);
}

bool AskImageFile(std::string_view current, std::string* name) {
  runtime::FileDialogRequest request;
  request.title = DesignerText("CaptionSelectImageFile");
  request.filter = DesignerText("ImageFileMasks");
  request.fileName = std::string(current);
  if (!runtime::AskFileName(&request)) return false;
  *name = ImageFileName(request.fileName);
  return true;
}

}  // namespace ledora::designer
