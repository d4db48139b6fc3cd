// The storage engine as the data access layer sees it: it makes data files
// from declarations and frames transactions that span several files. All
// SQL lives behind this interface (SqliteDriver is the one implementation),
// so another engine can serve the same callers.
#pragma once

#include <cstdint>
#include <memory>

#include "runtime/storage/data_file.h"
#include "runtime/storage/file_declaration.h"

namespace ledora::runtime {

class StorageDriver {
 public:
  virtual ~StorageDriver() = default;

  // The file lives as long as the caller keeps it, and never longer than the
  // driver. Nothing is opened yet.
  virtual std::unique_ptr<DataFile> Declare(FileDeclaration declaration) = 0;

  // Transactions ("logout"): mark each open file that takes part, then begin.
  // Mark answers 80 when this driver cannot include the file (not one of its
  // own), 37 when the file is not open. Logout waits up to timeoutSeconds
  // (or the marked files' "Recover" seconds when longer) for their write locks; 56 when a
  // transaction is active, 48 when the locks cannot be had. Commit and Rollback end it (91 when
  // none is active; 65 when a rollback fails). Until then every write of every file of this driver
  // belongs to the transaction, and the changes become visible to other stations all at once or not
  // at all, also when the process dies.
  virtual int32_t Mark(DataFile& file) = 0;
  virtual int32_t Logout(int timeoutSeconds) = 0;
  virtual int32_t Commit() = 0;
  virtual int32_t Rollback() = 0;
  virtual bool InTransaction() const = 0;

  // Reading in key order keeps a read open between calls, which keeps other
  // stations from committing; this ends every such read of this driver (the
  // next Next or Previous goes on from the record read last). The program
  // calls it whenever it goes idle.
  virtual void EndReads() {}

  // Whether a data file is a file of its own on disk (the KDS files) rather
  // than a table on a server, which no file name on disk tells about.
  virtual bool FilesOnDisk() const { return true; }
};

}  // namespace ledora::runtime
