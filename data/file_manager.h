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
  FileManager* ALIASEDFILE = nullptr;  // not owned; the real file an alias checks on
  RecordBuffer BUFFER;                 // the record buffer the file was declared with
  std::unique_ptr<std::vector<RecordSnapshot>> BUFFERS;  // SaveRecord's snapshots
  uint8_t CREATE = 1;                     // 1: a missing file is created on its first physical open
  ErrorReporter* ERRORS = nullptr;        // not owned; null: failures return SeverityInform unshown
  runtime::DataFile* FILE = nullptr;      // not owned; the declared file
  const std::string* FILENAME = nullptr;  // not owned; a run-time name, else FILENAMEVALUE
  std::string FILENAMEVALUE;              // at most 256 characters
  uint8_t HASAUTOINC = 0;                 // 1: a key numbers new records
  std::unique_ptr<std::list<InfoEntry>> INFO;   // a list: entries stay put while others come and go
  std::unique_ptr<std::vector<KeyEntry>> KEYS;  // by AddKey, in declaration order
  uint8_t LAZYOPEN = 1;                         // 1: the physical open waits for MakeUsable
  int16_t LOCKRECOVER = 10;                     // seconds an open waits for another station's lock
  uint8_t OPENMODE = runtime::OpenReadWriteShared;  // the access and share bits
  uint8_t PRIMARYKEY = 0;  // the primary key's number in KEYS, from 1; 0: none
  std::unique_ptr<std::vector<FileSnapshot>> SAVED;  // SaveFileState's snapshots
  uint8_t SKIPHELDRECORDS = 0;  // 1: NextQuietly passes over records held elsewhere

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

  // Opens the file for this thread if a lazy open put that off, keeping the
  // buffer as it was. SeverityNone when usable; otherwise the message (file
  // not opened by Open, or not accessible) was thrown and its reply returned.
  Severity MakeUsable();
  // Whether the last NextQuietly ran past the last record.
  bool AtEnd();
  // Reads the record whose key fields match the buffer: SeverityNone; not
  // found: SeverityInform, buffer cleared; not usable: SeverityStop.
  Severity Fetch(int key);
  // As Fetch, but a record not found leaves the buffer as it was.
  [[nodiscard]] Severity FetchQuietly(int key);
  // Reads the next record in the current order without showing a message:
  // SeverityNone; past the end: SeverityInform with AtEnd true; a held record
  // is skipped when SKIPHELDRECORDS, else noted; not usable: SeverityStop.
  [[nodiscard]] Severity NextQuietly();
  // Writes the buffer over the record read last, showing (mode) any failure.
  Severity Update(uint8_t mode = UpdateShown);
  // As Update, noting the message without showing it, so that a caller
  // inside a transaction can roll back before it throws.
  [[nodiscard]] Severity UpdateNoted(uint8_t mode);
  // As Insert, noting instead of showing; `then` runs once the record is
  // written, and a failure there keeps a reserved number reserved, since the
  // caller's rollback puts the reserving record back.
  [[nodiscard]] Severity InsertNoted(const std::function<Severity()>& then);
  std::string Position();
  Severity Reread(std::string_view position);
  // Reads the record this thread reserved by auto-numbering, deletes it
  // through `remove` and gives its number back; nothing (0) when this thread
  // holds no number. The operation behind every cancel auto-increment.
  Severity DeleteReserved(const std::function<Severity()>& remove);

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
  void NoteError(MessageNumber number);
  MessageNumber LastError();
  std::string DisplayName() const;

  // Overridable operations. Results are Severity: SeverityNone on success,
  // SeverityInform for a failure whose message was shown or noted,
  // SeverityStop when the file could not be made usable.
  //
  // Binds the buffer's fields to their "PRE:FIELD" names for expressions;
  // runs on every Open.
  virtual void BindFields();
  // Deletes the record this thread reserved by auto-numbering (through
  // controller, with its dependants, when given) and frees its number;
  // SeverityNone when nothing was reserved.
  virtual Severity CancelAutoInc(RelationController* controller = nullptr);
  // Matches one Open; the last close closes the file physically.
  virtual Severity Close();
  // Whether the buffer equals the snapshot taken by SaveRecord.
  virtual bool RecordUnchanged(int32_t snapshot);
  // Adds the buffer as a new record, numbering it first when the file
  // auto-numbers; a failure is shown.
  virtual Severity Insert();
  // Counts an open request; opens physically now unless LAZYOPEN puts that
  // off to MakeUsable. A failure is shown.
  virtual Severity Open();
  // Reserves the next number: adds a placeholder record carrying it, whose
  // number the buffer then holds; a failure is shown.
  virtual Severity PrimeAutoInc();
  // Sets the fields a new record starts with; PrimeRecord calls it.
  virtual void FillDefaults() {}
  // Readies the buffer for a new record: cleared (unless keepContents),
  // defaults filled, a number reserved when the file auto-numbers.
  virtual Severity PrimeRecord(bool keepContents = false);
  // Notes message number for this file and shows it; returns the reply.
  virtual Severity Throw(MessageNumber number);
  // Shows the message noted last; returns the reply.
  virtual Severity Throw();
  // As Throw(number) with text for "%Message".
  virtual Severity ThrowMessage(MessageNumber number, std::string_view text);
  // As PrimeAutoInc, noting a failure instead of showing it.
  [[nodiscard]] virtual Severity PrimeAutoIncQuietly();
  // Checks field (from 1) of the buffer; SeverityNone when it may be stored.
  // An aliased file checks on the real file's rules.
  virtual Severity ValidateField(int field);
  // Returns the first non-zero result and its field number in failedField.
  virtual Severity ValidateFields(int first, int last, int& failedField);
  // Checks every field; what Insert and Update run before writing.
  virtual Severity ValidateRecord(int& failedField);

  // Called through the registry when a procedure thread has ended.
  void ThreadEnded(int32_t thread);

 private:
  struct ThreadState;

  InfoEntry& SelectEntry();
  ThreadState& Thread();
  Severity MakeUsable(InfoEntry** usedEntry, runtime::DataFile** usedFile);
  Severity OpenFile(bool count, bool force);
  Severity OpenThreadFile();
  void ClosePhysically(InfoEntry& entry);
  Severity Fail();
  enum Numbering { NumberingAdded, NumberingRefused, NumberingUnreadable, NumberingExhausted };
  Severity PrimeAutoIncrement(bool shown);
  Numbering NumberAndAdd(int32_t* code);
  int32_t NextNumber(const KeyEntry& key, int64_t& number);
  bool TakeBack(runtime::DataFile& file);
  void TakeBackOnce();
  bool SetCounter(const runtime::FieldRef& field, int64_t number);
  int32_t WriteReserved();
  const KeyEntry* DuplicatedKey(bool numberedKeys);
  Severity ReportDuplicate(bool show);
  Severity InsertRecord(bool show, const std::function<Severity()>& then);
  Severity ThrowDuplicate(const KeyEntry& key);
  Severity UpdateRecord(uint8_t mode, bool show);
  bool RecordValid(MessageNumber message, bool show);
  void Reserve(bool reserved);
  Severity ValidateOnRealFile(int first, int last, int& failedField);
  RecordSnapshot* FindSnapshot(int32_t id);

  bool perThread_ = false;
  std::vector<std::unique_ptr<ThreadState>> threads_;
  std::function<bool()> takeBackTest_;
  bool sweptAbandoned_ = false;
};

}  // namespace ledora::data
