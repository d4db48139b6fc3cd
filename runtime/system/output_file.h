// The one way the program writes a file for the user: PDFs, CSV exports,
// new-reports files, copies. Every writer goes through here so that none of
// them can
//   - write over a file the data folder keeps (its .KDS and .KDB files with
//     their journals, ledora.INI, qrptdes.ini), however the name is spelt;
//   - write into anything but a regular file or a new name: a device, a
//     FIFO or a symbolic link is refused, never replaced;
//   - leave a half-written target: the bytes go to a unique temporary name
//     beside the target, are synced, and replace the target by a rename only
//     on Commit. Every write is checked, so a full disk fails the job.
// The temporary is removed when the object dies uncommitted, when the
// process ends by SIGINT, SIGTERM or SIGHUP (once RemoveTemporariesOnSignals
// has run), and otherwise by the next start's SweepTemporaries.
#pragma once

#include <string>
#include <string_view>

namespace ledora::runtime {

// True when path is, or would become, a data or settings file of the data
// folder (the current folder), whatever the spelling, letter case or links
// that lead there.
bool IsDataFolderFile(const std::string& path);

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();  // uncommitted: the temporary goes, the target stays as it was
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Whether Open refuses the data folder's files; a caller that may write
  // one of them (the pending new-reports file) checks the name itself.
  enum DataFolderCheck { RefuseDataFolderFiles, CheckedByCaller };

  // Each false once anything failed or was refused; error() then says what.
  bool Open(const std::string& target, DataFolderCheck check = RefuseDataFolderFiles);
  bool Write(std::string_view bytes);  // after a failure, writes are dropped
  // For writers that wrote through fd() or temporary() themselves and found
  // a failure there (errno-style code).
  void NoteFailure(int code);
  // Syncs the temporary (by its name, so also after a writer replaced it)
  // and closes the descriptor, keeping the temporary for a later Commit.
  // The temporary is then no longer locked for sweeps: commit soon.
  bool Park();
  bool Commit();
  std::string error() const;

  // The temporary, for writers that take a descriptor or open it by name
  // (SQLite). -1 / empty before Open and after Commit.
  int fd() const { return fd_; }
  const std::string& temporary() const { return temporary_; }
  const std::string& target() const { return target_; }

 private:
  bool Refuse(std::string why);
  bool Fail(int code);
  void Discard();

  std::string target_;
  std::string temporary_;
  int fd_ = -1;
  int slot_ = -1;
  int errno_ = 0;
  std::string refusal_;
};

}  // namespace ledora::runtime
