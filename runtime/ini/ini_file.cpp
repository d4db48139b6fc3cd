#include "runtime/ini/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "runtime/system/file_names.h"
#include "runtime/system/runtime_error.h"

namespace ledora::runtime {

namespace {

namespace fs = std::filesystem;

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// The rename is durable only once the folder's entry is on disk too.
void SyncFolder(const fs::path& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Notes the failure in the runtime's error state for whoever reports it.
IniResult Failed(IniResult result, int32_t code) {
  SetError(code);
  return result;
}

int32_t CodeOfErrno() {
  if (errno == EACCES || errno == EPERM) return ErrorAccessDenied;
  return errno == ENOENT ? ErrorPathNotFound : ErrorFileSystem;
}

bool ReadOnly(const fs::path& target) {
  struct stat status;
  return ::stat(target.c_str(), &status) == 0 && (status.st_mode & 0222) == 0;
}

mode_t ModeFor(const fs::path& target) {
  struct stat status;
  if (::stat(target.c_str(), &status) == 0) return status.st_mode & 07777;
  return 0644;
}

}  // namespace

IniResult ReadFileBytes(std::string_view fileName, std::string* bytes) {
  bytes->clear();
  fs::path path = ResolveFileName(fileName);
  std::error_code ec;
  if (!fs::exists(path, ec)) return IniFileMissing;
  if (!fs::is_regular_file(path, ec)) return Failed(IniReadFailed, ErrorAccessDenied);
  std::ifstream in(path, std::ios::binary);
  if (!in) return Failed(IniReadFailed, ErrorAccessDenied);
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return in.bad() ? Failed(IniReadFailed, ErrorAccessDenied) : IniOk;
}

IniResult ReadIniFile(std::string_view fileName, IniDocument* document) {
  std::string bytes;
  IniResult result = ReadFileBytes(fileName, &bytes);
  *document = result == IniOk ? IniDocument::Parse(bytes) : IniDocument();
  return result;
}

IniResult WriteIniFile(std::string_view fileName, const IniDocument& document) {
  fs::path target = ResolveFileName(fileName);
  std::error_code ec;
  // Renaming over a link would replace the link instead of the file it names.
  if (fs::is_symlink(target, ec)) {
    fs::path linked = fs::canonical(target, ec);
    if (!ec) target = linked;
  }
  // The rename would succeed over a file the user made read-only.
  if (ReadOnly(target)) return Failed(IniWriteFailed, ErrorAccessDenied);
  fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  std::vector<char> temporary(pattern.begin(), pattern.end());
  temporary.push_back('\0');
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) return Failed(IniWriteFailed, CodeOfErrno());
  bool written =
      WriteAll(fd, document.Serialize()) && ::fchmod(fd, ModeFor(target)) == 0 && ::fsync(fd) == 0;
  written = ::close(fd) == 0 && written;
  if (!written || ::rename(temporary.data(), target.c_str()) != 0) {
    int32_t code = CodeOfErrno();
    ::unlink(temporary.data());
    return Failed(IniWriteFailed, code);
  }
  SyncFolder(folder);
  return IniOk;
}

std::optional<std::string> ReadIniValue(std::string_view fileName, std::string_view section,
                                        std::string_view key) {
  IniDocument document;
  if (ReadIniFile(fileName, &document) != IniOk) return std::nullopt;
  return document.Get(section, key);
}

IniResult WriteIniValue(std::string_view fileName, std::string_view section, std::string_view key,
                        std::string_view value) {
  IniDocument document;
  IniResult read = ReadIniFile(fileName, &document);
  if (read == IniReadFailed) return read;
  if (!document.Set(section, key, value)) return IniInvalidText;
  return WriteIniFile(fileName, document);
}

}  // namespace ledora::runtime
