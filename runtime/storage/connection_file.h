// The main database of an SQLite connection, as a file of its own in the
// data folder. SQLite names the super-journal of a commit that spans several
// files after the main database and puts it beside it; a transaction over
// several files can be rolled back as one only while that super-journal is
// there, so it must live with the data, not in a temporary folder that a
// reboot or another machine loses.
//
// Every station (process) makes its own file, locked for as long as it
// lives; a station that finds the file of a dead one removes it, and the
// super-journals it left that no hot journal names any more. Used by
// SqliteConnection.
#pragma once

#include <memory>
#include <string>

namespace ledora::runtime {

class ConnectionFile {
 public:
  // Makes a fresh file in folder after sweeping up what dead stations left
  // there; null when the folder takes no new file.
  static std::unique_ptr<ConnectionFile> Make(const std::string& folder);
  ConnectionFile(std::string path, int fd);
  // Removes the file, and sweeps the folder again; the connection must have
  // closed the file before.
  ~ConnectionFile();
  ConnectionFile(const ConnectionFile&) = delete;
  ConnectionFile& operator=(const ConnectionFile&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
  int fd_;
  int owner_;  // the process that made it; a forked child leaves it alone
};

// Removes the connection files of stations that died in folder, and the
// super-journals they left that no journal refers to any more.
void SweepConnectionFiles(const std::string& folder);

}  // namespace ledora::runtime
