#include "runtime/ini/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "runtime/ini/ini_file_lock.h"
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

// The file a write replaces: the name resolved without regard to case, and
// through a link to the file it names, as renaming over a link would
// replace the link.
fs::path WriteTarget(std::string_view fileName) {
  fs::path target = ResolveFileName(fileName);
  std::error_code ec;
  if (fs::is_symlink(target, ec)) {
    fs::path linked = fs::canonical(target, ec);
    if (!ec) target = linked;
  }
  return target;
}

fs::path FolderOf(const fs::path& target) {
  return target.parent_path().empty() ? fs::path(".") : target.parent_path();
}

std::string TemporaryPrefix(const fs::path& target) {
  return "." + target.filename().string() + ".tmp";
}

// Under the lock nobody else is writing, so a temporary file of this target
// is what a killed station left behind.
void RemoveStaleTemporaries(const fs::path& target) {
  std::string prefix = TemporaryPrefix(target);
  std::error_code ec;
  for (fs::directory_iterator it(FolderOf(target), ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (name.size() == prefix.size() + 6 &&
        SameIniName(std::string_view(name).substr(0, prefix.size()), prefix)) {
      std::error_code ignored;
      fs::remove(it->path(), ignored);
    }
  }
}

// Runs body on the target under its lock. The name is resolved again once
// the lock is held: the station that held it may have made the file under
// another letter case, which takes the same lock.
IniResult Locked(std::string_view fileName,
                 const std::function<IniResult(const fs::path& target)>& body) {
  fs::path target = WriteTarget(fileName);
  for (int attempt = 0;; ++attempt) {
    IniFileLock lock(target.string());
    fs::path now = WriteTarget(fileName);
    if (IniFileLock::LockPathFor(now.string()) != lock.lockPath() && attempt < 3) {
      target = now;
      continue;
    }
    if (lock.locked()) RemoveStaleTemporaries(now);
    return body(now);
  }
}

// Temporary file in the target's folder, synced, then renamed over it: a
// reader or a crash sees the old file or the new one, never part of one.
IniResult ReplaceFile(const fs::path& target, std::string_view bytes) {
  // The rename would succeed over a file the user made read-only.
  if (ReadOnly(target)) return Failed(IniWriteFailed, ErrorAccessDenied);
  fs::path folder = FolderOf(target);
  std::string pattern = (folder / (TemporaryPrefix(target) + "XXXXXX")).string();
  std::vector<char> temporary(pattern.begin(), pattern.end());
  temporary.push_back('\0');
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) return Failed(IniWriteFailed, CodeOfErrno());
  bool written = WriteAll(fd, bytes) && ::fchmod(fd, ModeFor(target)) == 0 && ::fsync(fd) == 0;
  written = ::close(fd) == 0 && written;
  if (!written || ::rename(temporary.data(), target.c_str()) != 0) {
    int32_t code = CodeOfErrno();
    ::unlink(temporary.data());
    return Failed(IniWriteFailed, code);
  }
  SyncFolder(folder);
  return IniOk;
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
  std::string bytes = document.Serialize();
  return Locked(fileName, [&](const fs::path& target) { return ReplaceFile(target, bytes); });
}

IniResult UpdateIniFile(std::string_view fileName,
                        const std::function<bool(IniDocument& document)>& change) {
  return Locked(fileName, [&](const fs::path& target) {
    IniDocument document;
    IniResult read = ReadIniFile(target.string(), &document);
    if (read == IniReadFailed) return read;
    if (!change(document)) return IniInvalidText;
    return ReplaceFile(target, document.Serialize());
  });
}

std::optional<std::string> ReadIniValue(std::string_view fileName, std::string_view section,
                                        std::string_view key) {
  IniDocument document;
  if (ReadIniFile(fileName, &document) != IniOk) return std::nullopt;
  return document.Get(section, key);
}

IniResult WriteIniValue(std::string_view fileName, std::string_view section, std::string_view key,
                        std::string_view value) {
  return UpdateIniFile(fileName,
                       [&](IniDocument& document) { return document.Set(section, key, value); });
}

}  // namespace ledora::runtime
