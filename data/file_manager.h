// The one object through which a data file is used: it knows the file's keys,
// opens the file on demand, numbers new records, detects records changed by
// another station and turns every storage error into a numbered message.
// The dictionaries create one per file; relation controllers, view managers
// and window procedures call it instead of the storage driver.
#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/error_reporter.h"
#include "data/file_entries.h"
#include "runtime/storage/data_file.h"

namespace ledora::data {

class RelationController;

enum UpdateMode : uint8_t {
  UpdateQuiet = 0,
  UpdateShown = 1,
  UpdateShownWithRecall = 2,  // the form's variant of the changed-by-another-station message
};

class FileManager {
 public:
  FileManager* ALIASEDFILE = nullptr;
  RecordBuffer BUFFER;
  std::unique_ptr<std::vector<RecordSnapshot>> BUFFERS;
  uint8_t CREATE = 1;
  ErrorReporter* ERRORS = nullptr;
  runtime::DataFile* FILE = nullptr;
  const std::string* FILENAME = nullptr;
  std::string FILENAMEVALUE;  // at most 256 characters
  uint8_t HASAUTOINC = 0;
  std::unique_ptr<std::list<InfoEntry>> INFO;  // a list: entries stay put while others come and go
  std::unique_ptr<std::vector<KeyEntry>> KEYS;
  uint8_t LAZYOPEN = 1;
  int16_t LOCKRECOVER = 10;
  uint8_t OPENMODE = runtime::OpenReadWriteShared;
  uint8_t PRIMARYKEY = 0;
  std::unique_ptr<std::vector<FileSnapshot>> SAVED;
  uint8_t SKIPHELDRECORDS = 0;

  FileManager();
  virtual ~FileManager();
  FileManager(const FileManager&) = delete;
  FileManager& operator=(const FileManager&) = delete;

  // Set-up. The record buffer is the one the file was declared with.
  void Initialize(runtime::DataFile* file, ErrorReporter* errors);
  // A file declared per-thread keeps its open state per procedure thread.
  void SetPerThread(bool perThread) { perThread_ = perThread; }
  bool perThread() const { return perThread_; }
  // key: the key's number in the file's declaration. autoIncrement: the
  // component (from 1) that is numbered automatically, 0 for none.
  void AddKey(int key, std::string_view description, uint8_t autoIncrement = 0);
  void Shutdown();

  // Keys, by declaration number; components count from 1.
  const KeyEntry* Key(int key) const;
  std::string OrderString(int key, int first = 1) const;
  int ComponentCount(int key) const;
  runtime::FieldRef ComponentField(int key, int n) const;
  std::string ComponentName(int key, int n) const;
  // Sets each component from first to last to its highest value when (high
  // and ascending) or (not high and descending), else to its lowest.
  void ClearKeyComponents(int key, int first = 1, int last = 255, bool high = false);

  uint8_t MakeUsable();
  bool AtEnd();
  uint8_t Fetch(int key);
  uint8_t FetchQuietly(int key);
  uint8_t NextQuietly();
  uint8_t Update(uint8_t mode = UpdateShown);
  // As Update, noting the message without showing it, so that a caller
  // inside a transaction can roll back before it throws.
  uint8_t UpdateNoted(uint8_t mode);
  // As Insert, noting instead of showing; `then` runs once the record is
  // written, and a failure there keeps a reserved number reserved, since the
  // caller's rollback puts the reserving record back.
  uint8_t InsertNoted(const std::function<uint8_t()>& then);
  std::string Position();
  uint8_t Reread(std::string_view position);
  // Reads the record this thread reserved by auto-numbering, deletes it
  // through `remove` and gives its number back; nothing (0) when this thread
  // holds no number. The operation behind every cancel auto-increment.
  uint8_t DeleteReserved(const std::function<uint8_t()>& remove);

  // Records that a station reserved by numbering and left unfilled when it
  // died: TakeBackAbandoned deletes them all (the count), as the first
  // physical open for writing outside a transaction does, and numbering
  // deletes one it finds at the top, reusing its number. The test, run on
  // such a record in the buffer, keeps those that others depend on; a file
  // with a test leaves its records to the sweep, since the test may read
  // other files, which numbering's transaction could not open.
  void SetTakeBackTest(std::function<bool()> test) { takeBackTest_ = std::move(test); }
  long TakeBackAbandoned();

  // The current thread's data file (physically open after MakeUsable), and
  // the record operations the relation controller needs besides the above.
  runtime::DataFile& CurrentFile();
  // Whether file is this manager's file as some thread uses it.
  bool UsesFile(const runtime::DataFile* file) const;
  int32_t SetOnKey(int key);
  int32_t DeleteRecord();
  void ClearRecord();

  // Record snapshots.
  int32_t SaveRecord();
  void RestoreRecord(int32_t& snapshot, bool copyBack);
  uint16_t SaveFileState();
  void RestoreFileState(uint16_t& snapshot);

  // Errors.
  void NoteError(uint8_t number);
  uint8_t LastError();
  std::string DisplayName() const;

  // Overridable operations, in slot order.
  virtual void BindFields();
  virtual uint8_t CancelAutoInc(RelationController* controller = nullptr);
  virtual uint8_t Close();
  virtual bool RecordUnchanged(int32_t snapshot);
  virtual uint8_t Insert();
  virtual uint8_t Open();
  virtual uint8_t PrimeAutoInc();
  virtual void FillDefaults() {}
  virtual uint8_t PrimeRecord(bool keepContents = false);
  virtual uint8_t Throw(uint8_t number);
  virtual uint8_t Throw();
  virtual uint8_t ThrowMessage(uint8_t number, std::string_view text);
  virtual uint8_t PrimeAutoIncQuietly();
  virtual uint8_t ValidateField(int field);
  // Returns the first non-zero result and its field number in failedField.
  virtual uint8_t ValidateFields(int first, int last, int& failedField);
  virtual uint8_t ValidateRecord(int& failedField);

  // Called through the registry when a procedure thread has ended.
  void ThreadEnded(int32_t thread);

 private:
  struct ThreadState;

  InfoEntry& SelectEntry();
  ThreadState& Thread();
  uint8_t MakeUsable(InfoEntry** usedEntry, runtime::DataFile** usedFile);
  uint8_t OpenFile(bool count, bool force);
  uint8_t OpenThreadFile();
  void ClosePhysically(InfoEntry& entry);
  uint8_t Fail();
  enum Numbering { NumberingAdded, NumberingRefused, NumberingUnreadable, NumberingExhausted };
  uint8_t PrimeAutoIncrement(bool shown);
  Numbering NumberAndAdd(int32_t* code);
  int32_t NextNumber(const KeyEntry& key, int64_t& number);
  bool TakeBack(runtime::DataFile& file);
  void TakeBackOnce();
  bool SetCounter(const runtime::FieldRef& field, int64_t number);
  int32_t WriteReserved();
  const KeyEntry* DuplicatedKey(bool numberedKeys);
  uint8_t ReportDuplicate(bool show);
  uint8_t InsertRecord(bool show, const std::function<uint8_t()>& then);
  uint8_t ThrowDuplicate(const KeyEntry& key);
  uint8_t UpdateRecord(uint8_t mode, bool show);
  bool RecordValid(uint8_t message, bool show);
  void Reserve(bool reserved);
  uint8_t ValidateOnRealFile(int first, int last, int& failedField);
  RecordSnapshot* FindSnapshot(int32_t id);

  bool perThread_ = false;
  std::vector<std::unique_ptr<ThreadState>> threads_;
  std::function<bool()> takeBackTest_;
  bool sweptAbandoned_ = false;
};

}  // namespace ledora::data
