#include "data/file_manager.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <cstring>

#include "data/file_registry.h"
#include "data/relation_controller.h"
#include "data/thread_number.h"
#include "runtime/expr/name_table.h"
#include "runtime/storage/storage_driver.h"
#include "runtime/system/ascii_case.h"
#include "runtime/system/runtime_error.h"
#include "runtime/values/fixed_string.h"

namespace ledora::data {

using runtime::DataFile;
using runtime::FieldRef;

// Each procedure thread reads and writes through a data file of its own, so
// that its current record, sequence and change check are not moved by
// another procedure between two of its operations.
struct FileManager::ThreadState {
  int32_t thread = 0;
  std::unique_ptr<DataFile> own;  // none when the thread uses FILE itself
  DataFile* file = nullptr;
  int sequenceKey = -1;
  std::string reserved;    // position of the record added to reserve a number
  bool inserting = false;  // numbering adds the whole record, not a reservation
};

namespace {

constexpr uint8_t kAccessBits = 0x03;
constexpr size_t kMaxOrderString = 512;

std::string ClipRight(std::string_view text) {
  size_t end = text.find_last_not_of(' ');
  return std::string(end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1));
}

void SetHighest(const FieldRef& field) {
  switch (field.type) {
    case runtime::FieldString:
      std::memset(field.address, 0xFF, field.size);
      break;
    case runtime::FieldDecimal: {
      __int128 units = 1;
      for (uint32_t i = 0; i < 2 * field.size - 1; ++i) units *= 10;
      runtime::PackDecimal(runtime::Decimal::FromUnits(units - 1, field.places), field.address,
                           static_cast<int>(field.size), field.places);
      break;
    }
    case runtime::FieldReal: {
      double high = DBL_MAX;
      std::memcpy(field.address, &high, sizeof high);
      break;
    }
    case runtime::FieldByte:
    case runtime::FieldUShort:
    case runtime::FieldULong:
      std::memset(field.address, 0xFF, field.size);
      break;
    case runtime::FieldShort: {
      int16_t high = INT16_MAX;
      std::memcpy(field.address, &high, sizeof high);
      break;
    }
    case runtime::FieldText:
      break;
    default: {
      int32_t high = INT32_MAX;
      std::memcpy(field.address, &high, sizeof high);
      break;
    }
  }
}

}  // namespace

FileManager::FileManager() = default;

FileManager::~FileManager() {
  if (INFO) Shutdown();
}

void FileManager::Initialize(DataFile* file, ErrorReporter* errors) {
  ERRORS = errors;
  FILE = file;
  BUFFERS = std::make_unique<std::vector<RecordSnapshot>>();
  INFO = std::make_unique<std::list<InfoEntry>>();
  KEYS = std::make_unique<std::vector<KeyEntry>>();
  SAVED = std::make_unique<std::vector<FileSnapshot>>();
  SKIPHELDRECORDS = 0;
  OPENMODE = runtime::OpenReadWriteShared;
  CREATE = 1;
  LOCKRECOVER = 10;
  PRIMARYKEY = 0;
  LAZYOPEN = 1;
  const runtime::FileDeclaration& declaration = file->declaration();
  FILENAMEVALUE = declaration.name.substr(0, 256);
  BUFFER.address = declaration.buffer;
  BUFFER.layout = declaration.layout;
  BUFFER.size = declaration.layout != nullptr ? declaration.layout->recordSize() : 0;
  FileManagers().Add(file, this);
}

void FileManager::AddKey(int key, std::string_view description, uint8_t autoIncrement) {
  const std::vector<runtime::KeyDeclaration>& keys = FILE->declaration().keys;
  if (key < 0 || key >= static_cast<int>(keys.size())) return;
  const runtime::KeyDeclaration& declared = keys[key];
  KeyEntry entry;
  entry.KEY = key;
  entry.PDESCRIPTION = std::string(description.substr(0, 80));
  entry.AUTOINC = autoIncrement;
  entry.DUPS = declared.unique ? 0 : 1;
  entry.NOCASE = declared.noCase ? 1 : 0;
  int fieldCount = static_cast<int>(BUFFER.layout->fields().size());
  for (const runtime::KeyComponent& component : declared.components) {
    if (component.field < 0 || component.field >= fieldCount) continue;
    KeyComponentEntry part;
    part.FIELD = BUFFER.layout->Bind(BUFFER.address, component.field);
    const std::string& label = BUFFER.layout->fields()[component.field].label;
    bool upper = declared.noCase && part.FIELD.type == runtime::FieldString;
    part.FIELDNAME = upper ? "UPPER(" + label + ")" : label;
    part.ASCEND = component.descending ? 0 : 1;
    entry.FIELDS.push_back(std::move(part));
  }
  if (autoIncrement != 0) HASAUTOINC = 1;
  KEYS->push_back(std::move(entry));
  if (declared.primary) PRIMARYKEY = static_cast<uint8_t>(KEYS->size());
}

void FileManager::Shutdown() {
  FileManagers().Remove(this);
  for (auto& state : threads_) {
    if (state->own) state->own->Close();
  }
  threads_.clear();
  if (BUFFER.layout != nullptr) runtime::BoundNames().UnbindRecord(*BUFFER.layout);
  BUFFERS.reset();
  INFO.reset();
  KEYS.reset();
  SAVED.reset();
}

// ---------------------------------------------------------------- keys

const KeyEntry* FileManager::Key(int key) const {
  if (!KEYS) return nullptr;
  for (const KeyEntry& entry : *KEYS) {
    if (entry.KEY == key) return &entry;
  }
  return nullptr;
}

std::string FileManager::OrderString(int key, int first) const {
  const KeyEntry* entry = Key(key);
  std::string order;
  if (entry == nullptr) return order;
  for (size_t i = std::max(first, 1) - 1; i < entry->FIELDS.size(); ++i) {
    if (!order.empty()) order += ',';
    if (!entry->FIELDS[i].ASCEND) order += '-';
    order += entry->FIELDS[i].FIELDNAME;
  }
  return order.substr(0, kMaxOrderString);
}

int FileManager::ComponentCount(int key) const {
  const KeyEntry* entry = Key(key);
  return entry == nullptr ? 0 : static_cast<int>(entry->FIELDS.size());
}

FieldRef FileManager::ComponentField(int key, int n) const {
  const KeyEntry* entry = Key(key);
  if (entry == nullptr || n < 1 || n > static_cast<int>(entry->FIELDS.size())) return {};
  return entry->FIELDS[n - 1].FIELD;
}

std::string FileManager::ComponentName(int key, int n) const {
  const KeyEntry* entry = Key(key);
  if (entry == nullptr || n < 1 || n > static_cast<int>(entry->FIELDS.size())) return {};
  return entry->FIELDS[n - 1].FIELDNAME;
}

void FileManager::ClearKeyComponents(int key, int first, int last, bool high) {
  const KeyEntry* entry = Key(key);
  if (entry == nullptr) return;
  int count = static_cast<int>(entry->FIELDS.size());
  for (int n = std::max(first, 1); n <= std::min(last, count); ++n) {
    const KeyComponentEntry& component = entry->FIELDS[n - 1];
    if (high == (component.ASCEND != 0)) {
      SetHighest(component.FIELD);
    } else {
      runtime::Clear(component.FIELD);
    }
  }
}

// ---------------------------------------------------------------- state

InfoEntry& FileManager::SelectEntry() {
  int32_t id = perThread_ ? CurrentThreadNumber() : 1;
  // Every record operation passes here, so the name is handed over only when
  // it differs from the one the reporter holds.
  if (ERRORS != nullptr) {
    std::string_view name = runtime::Clip(FILENAME != nullptr ? *FILENAME : FILENAMEVALUE);
    if (ERRORS->FILENAME != name) ERRORS->SetFile(name);
  }
  for (InfoEntry& entry : *INFO) {
    if (entry.ID == id) return entry;
  }
  INFO->push_back(InfoEntry{});
  INFO->back().ID = id;
  return INFO->back();
}

FileManager::ThreadState& FileManager::Thread() {
  int32_t thread = CurrentThreadNumber();
  bool fileTaken = false;
  for (auto& state : threads_) {
    if (state->thread == thread) return *state;
    fileTaken = fileTaken || state->own == nullptr;
  }
  auto state = std::make_unique<ThreadState>();
  state->thread = thread;
  if (fileTaken) {
    state->own = FILE->driver().Declare(FILE->declaration());
    state->file = state->own.get();
  } else {
    state->file = FILE;
  }
  threads_.push_back(std::move(state));
  return *threads_.back();
}

DataFile& FileManager::CurrentFile() { return *Thread().file; }

bool FileManager::UsesFile(const DataFile* file) const {
  if (file == FILE) return true;
  for (const auto& state : threads_) {
    if (state->file == file) return true;
  }
  return false;
}

std::string FileManager::DisplayName() const {
  return ClipRight(FILENAME != nullptr ? *FILENAME : FILENAMEVALUE);
}

bool FileManager::AtEnd() { return SelectEntry().ATEOF != 0; }

// ---------------------------------------------------------------- open and close

Severity FileManager::Open() { return OpenFile(true, false); }

Severity FileManager::OpenFile(bool count, bool force) {
  InfoEntry& entry = SelectEntry();
  if (!force && LAZYOPEN) {
    if (count) ++entry.OPENED;
    BindFields();
    return SeverityNone;
  }
  DataFile& file = *Thread().file;
  std::string recover = "Recover=" + std::to_string(LOCKRECOVER);
  file.Send(recover);
  for (int attempt = 0; attempt < 2; ++attempt) {
    int32_t code = file.Open(OPENMODE);
    if (code == runtime::ErrorAccessDenied) {
      file.Send(recover);
      code = file.Open(OPENMODE);
    }
    if (code == runtime::ErrorNone || code == runtime::ErrorFileAlreadyOpen) {
      entry.USED = 1;
      entry.ATEOF = 0;
      for (auto& state : threads_) {
        if (!perThread_ || state->file == &file) state->reserved.clear();
      }
      entry.AUTOINCDONE = 0;
      if (count) ++entry.OPENED;
      BindFields();
      TakeBackOnce();
      return SeverityNone;
    }
    if (code == runtime::ErrorAccessDenied) {
      if ((OPENMODE & kAccessBits) == runtime::AccessReadOnly) break;
      OPENMODE &= static_cast<uint8_t>(~kAccessBits);
      Throw(MsgAccessDenied);
    } else if (code == runtime::ErrorFileNotFound) {
      if (!CREATE) break;
      if (file.CreateIfMissing() != runtime::ErrorNone) {
        NoteError(MsgFileCreationError);
        return Fail();
      }
    } else if (code == runtime::ErrorKeyMustBeRebuilt) {
      NoteError(MsgInvalidKey);
      Throw();
      if (file.BuildKeys() != runtime::ErrorNone) return Throw(MsgKeyNotBuilt);
    } else {
      break;
    }
  }
  NoteError(MsgFileAccessError);
  return Fail();
}

Severity FileManager::Fail() { return Throw(); }

// A file another thread opened physically gets this thread's own data file
// opened the same way, quietly: the file is known to be usable.
Severity FileManager::OpenThreadFile() {
  DataFile& file = *Thread().file;
  file.Send("Recover=" + std::to_string(LOCKRECOVER));
  int32_t code = file.Open(OPENMODE);
  if (code == runtime::ErrorNone || code == runtime::ErrorFileAlreadyOpen) return SeverityNone;
  NoteError(MsgFileAccessError);
  return Fail();
}

Severity FileManager::MakeUsable() { return MakeUsable(nullptr, nullptr); }

// The record operations take the entry and file from here, so that each
// looks up the thread's state once per call.
Severity FileManager::MakeUsable(InfoEntry** usedEntry, DataFile** usedFile) {
  InfoEntry& entry = SelectEntry();
  if (usedEntry != nullptr) *usedEntry = &entry;
  Severity result = SeverityNone;
  if (LAZYOPEN && !entry.USED) {
    if (entry.OPENED < 1) return Throw(MsgFileUsageError);
    int32_t saved = SaveRecord();
    result = OpenFile(false, true);
    RestoreRecord(saved, true);
    if (usedFile != nullptr) *usedFile = Thread().file;
  } else if (entry.USED || usedFile != nullptr) {
    DataFile* file = Thread().file;
    if (entry.USED && !file->IsOpen()) result = OpenThreadFile();
    if (usedFile != nullptr) *usedFile = file;
  }
  return result;
}

Severity FileManager::Close() {
  InfoEntry& entry = SelectEntry();
  if (entry.OPENED > 0 && --entry.OPENED == 0) ClosePhysically(entry);
  return SeverityNone;
}

void FileManager::ClosePhysically(InfoEntry& entry) {
  if (perThread_) {
    Thread().file->Close();
  } else {
    FILE->Close();
    for (auto& state : threads_) state->file->Close();
  }
  entry.USED = 0;
}

void FileManager::BindFields() {
  if (BUFFER.layout != nullptr) runtime::BoundNames().BindRecord(*BUFFER.layout, BUFFER.address);
}

// ---------------------------------------------------------------- reading

Severity FileManager::Fetch(int key) {
  Severity result = FetchQuietly(key);
  if (result == SeverityInform) ClearRecord();
  return result;
}

Severity FileManager::FetchQuietly(int key) {
  DataFile* file = nullptr;
  if (MakeUsable(nullptr, &file) != SeverityNone) return SeverityStop;
  return file->Fetch(key) == runtime::ErrorNone ? SeverityNone : SeverityInform;
}

Severity FileManager::NextQuietly() {
  InfoEntry* entry = nullptr;
  DataFile* file = nullptr;
  if (MakeUsable(&entry, &file) != SeverityNone) return SeverityStop;
  for (;;) {
    entry->ATEOF = 0;
    int32_t code = file->Next();
    if (code == runtime::ErrorNone) return SeverityNone;
    if (code == runtime::ErrorRecordNotAvailable) {
      entry->ATEOF = 1;
      return SeverityInform;
    }
    if (code == runtime::ErrorRecordHeld) {
      if (SKIPHELDRECORDS) continue;
      NoteError(MsgHeldRecordSkipped);
      return SeverityInform;
    }
    NoteError(MsgRecordRetrievalError);
    return SeverityStop;
  }
}

std::string FileManager::Position() {
  SelectEntry();
  return Thread().file->Position();
}

Severity FileManager::Reread(std::string_view position) {
  if (MakeUsable() != SeverityNone) return SeverityStop;
  return Thread().file->FetchAt(position) == runtime::ErrorNone ? SeverityNone : SeverityInform;
}

int32_t FileManager::SetOnKey(int key) {
  if (MakeUsable() != SeverityNone) return runtime::ErrorFileNotOpen;
  ThreadState& state = Thread();
  state.sequenceKey = key;
  return state.file->SetOnKey(key);
}

int32_t FileManager::DeleteRecord() { return Thread().file->Delete(); }

void FileManager::ClearRecord() {
  if (BUFFER.address == nullptr) return;
  std::memset(BUFFER.address, 0, BUFFER.size);
  for (size_t i = 0; i < BUFFER.layout->fields().size(); ++i) {
    runtime::Clear(BUFFER.layout->Bind(BUFFER.address, static_cast<int>(i)));
  }
}

// ---------------------------------------------------------------- writing

Severity FileManager::Insert() { return InsertRecord(true, nullptr); }

Severity FileManager::InsertNoted(const std::function<Severity()>& then) {
  return InsertRecord(false, then);
}

Severity FileManager::InsertRecord(bool show, const std::function<Severity()>& then) {
  if (MakeUsable() != SeverityNone) return SeverityStop;
  if (!RecordValid(MsgRecordInsertError, show)) return SeverityInform;
  int32_t code = runtime::ErrorNone;
  if (HASAUTOINC) {
    ThreadState& state = Thread();
    if (!state.reserved.empty()) {
      code = WriteReserved();
    } else {
      state.inserting = true;
      Severity primed = show ? PrimeAutoInc() : PrimeAutoIncQuietly();
      state.inserting = false;
      if (primed != SeverityNone) return SeverityInform;
    }
  } else {
    code = Thread().file->Add();
  }
  if (code == runtime::ErrorNone) {
    if (then && then() != SeverityNone) return SeverityInform;
    Reserve(false);
    return SeverityNone;
  }
  if (code == runtime::ErrorDuplicateKey) return ReportDuplicate(show);
  NoteError(MsgRecordInsertError);
  return show ? Throw() : SeverityInform;
}

// The reserved record is written back even when this thread has read other
// records of the file since it was added.
int32_t FileManager::WriteReserved() {
  ThreadState& state = Thread();
  if (state.file->Position() != state.reserved) {
    int32_t saved = SaveRecord();
    int32_t code = state.file->FetchAt(state.reserved);
    RestoreRecord(saved, true);
    if (code != runtime::ErrorNone) return code;
  }
  return state.file->Put();
}

// A refusal is noted like any other failed write, so that whoever shows the
// noted message later shows this one and not an older one. A hook that
// noted its own message has said why; otherwise `message` names the field.
bool FileManager::RecordValid(MessageNumber message, bool show) {
  InfoEntry& entry = SelectEntry();
  MessageNumber before = entry.LASTERROR;
  entry.LASTERROR = MsgNone;
  int failedField = 0;
  if (ValidateRecord(failedField) == SeverityNone) {
    entry.LASTERROR = before;
    return true;
  }
  if (entry.LASTERROR != MsgNone) return false;
  const auto& fields = BUFFER.layout->fields();
  std::string label = failedField >= 1 && failedField <= static_cast<int>(fields.size())
                          ? fields[failedField - 1].label
                          : std::to_string(failedField);
  if (ERRORS != nullptr) ERRORS->FIELDNAME = label;
  runtime::SetFileError(runtime::ErrorFileSystem, label, "Value refused");
  NoteError(message);
  if (show) Throw();
  return false;
}

const KeyEntry* FileManager::DuplicatedKey(bool numberedKeys) {
  DataFile& file = *Thread().file;
  for (const KeyEntry& key : *KEYS) {
    if ((numberedKeys || key.AUTOINC == 0) && file.Duplicate(key.KEY)) return &key;
  }
  return nullptr;
}

Severity FileManager::ReportDuplicate(bool show) {
  const KeyEntry* key = DuplicatedKey(true);
  if (key == nullptr) return SeverityInform;
  if (show) return ThrowDuplicate(*key);
  if (ERRORS != nullptr) ERRORS->MESSAGETEXT = key->PDESCRIPTION;
  NoteError(MsgDuplicateKey);
  return SeverityInform;
}

Severity FileManager::ThrowDuplicate(const KeyEntry& key) {
  ThrowMessage(MsgDuplicateKey, key.PDESCRIPTION);
  return SeverityInform;
}

void FileManager::Reserve(bool reserved) {
  InfoEntry& entry = SelectEntry();
  ThreadState& state = Thread();
  if (reserved) {
    state.reserved = state.file->Position();
    entry.AUTOINCDONE = 1;
    return;
  }
  state.reserved.clear();
  state.file->Unreserve();
  // A shared entry stays flagged while another thread still holds a number.
  bool others = false;
  for (auto& other : threads_) others = others || (!perThread_ && !other->reserved.empty());
  entry.AUTOINCDONE = others ? 1 : 0;
}

Severity FileManager::Update(uint8_t mode) { return UpdateRecord(mode, mode != UpdateQuiet); }

Severity FileManager::UpdateNoted(uint8_t mode) { return UpdateRecord(mode, false); }

Severity FileManager::UpdateRecord(uint8_t mode, bool show) {
  if (MakeUsable() != SeverityNone) return SeverityStop;
  if (!RecordValid(MsgRecordNotUpdated, show)) return SeverityInform;
  DataFile& file = *Thread().file;
  std::string position = file.Position();
  int32_t code = file.Put();
  if (code == runtime::ErrorNone) return SeverityNone;
  if (code == runtime::ErrorRecordChanged) {
    NoteError(mode == UpdateShownWithRecall ? MsgRecordChangedRecallChanges
                                            : MsgRecordChangedByAnotherStation);
    if (show) Throw();
    file.Watch();
    file.FetchAt(position);
    return SeverityInform;
  }
  NoteError(MsgRecordNotUpdated);
  if (!show) return SeverityInform;
  return Throw();
}

// ---------------------------------------------------------------- auto-numbering

Severity FileManager::PrimeAutoInc() { return PrimeAutoIncrement(true); }

Severity FileManager::PrimeAutoIncQuietly() { return PrimeAutoIncrement(false); }

Severity FileManager::PrimeAutoIncrement(bool shown) {
  if (MakeUsable() != SeverityNone) return SeverityStop;
  if (!HASAUTOINC || !Thread().reserved.empty()) return SeverityNone;
  int attempts = 0;
  for (;;) {
    int32_t code = runtime::ErrorNone;
    switch (NumberAndAdd(&code)) {
      case NumberingAdded:
        return SeverityNone;
      case NumberingUnreadable:
        NoteError(MsgRecordRetrievalError);
        if (!shown) return SeverityInform;
        return Throw();
      case NumberingExhausted:
        // Past the field's largest value the number would wrap to a negative
        // or taken one; that is no race, so no silent retry either.
        NoteError(MsgAutoIncrementError);
        if (!shown || Throw() != SeverityNone) return SeverityInform;
        continue;
      case NumberingRefused:
        break;
    }
    // A clash on a key that is not numbered is no numbering race: retrying
    // cannot help, and the user must hear which key it was.
    if (code == runtime::ErrorDuplicateKey) {
      if (const KeyEntry* key = DuplicatedKey(false)) {
        if (shown) return ThrowDuplicate(*key);
        if (ERRORS != nullptr) ERRORS->MESSAGETEXT = key->PDESCRIPTION;
        NoteError(MsgDuplicateKey);
        return SeverityInform;
      }
    }
    // The numbering lock makes a lost race impossible; what is left is a
    // station that kept the file longer than the lock wait.
    if (++attempts < 3) continue;
    NoteError(MsgAutoIncrementError);
    if (!shown || Throw() != SeverityNone) return SeverityInform;
    attempts = 0;
  }
}

// One try under the file's numbering lock: the next number of every
// numbered key, then the record added with them (whole when an insert adds
// it, else as a reservation). code: the storage's answer when refused.
FileManager::Numbering FileManager::NumberAndAdd(int32_t* code) {
  ThreadState& state = Thread();
  DataFile& file = *state.file;
  *code = file.BeginNumbering();
  if (*code != runtime::ErrorNone) return NumberingRefused;
  bool exhausted = false;
  for (const KeyEntry& key : *KEYS) {
    if (key.AUTOINC == 0 || key.AUTOINC > key.FIELDS.size()) continue;
    int32_t saved = SaveRecord();
    int64_t number = 0;
    int32_t read = NextNumber(key, number);
    RestoreRecord(saved, true);
    if (read != runtime::ErrorNone) {
      runtime::ErrorState why = runtime::CurrentError();
      file.EndNumbering(false);
      runtime::SetFileError(why.code, why.fileErrorCode, why.fileErrorText);
      return NumberingUnreadable;
    }
    exhausted = exhausted || !SetCounter(key.FIELDS[key.AUTOINC - 1].FIELD, number);
  }
  if (exhausted) {
    runtime::ErrorState why = runtime::CurrentError();
    file.EndNumbering(false);
    runtime::SetFileError(why.code, why.fileErrorCode, why.fileErrorText);
    return NumberingExhausted;
  }
  *code = state.inserting ? file.Add() : file.AddReserved();
  if (*code != runtime::ErrorNone) {
    runtime::ErrorState why = runtime::CurrentError();
    file.EndNumbering(false);
    runtime::SetFileError(why.code, why.fileErrorCode, why.fileErrorText);
    return NumberingRefused;
  }
  *code = file.EndNumbering(true);
  if (*code != runtime::ErrorNone) {
    file.Unreserve();
    return NumberingRefused;
  }
  Reserve(true);
  return NumberingAdded;
}

// The number after the highest in use: over the whole file for a
// one-component key, else within the values of the components before it.
// Numbers start at 1 whatever lies below (0 means "not numbered"), and a
// reservation a dead station left at the top is taken back on the way,
// unless the dictionary's test must look into other files: opening one
// inside the numbering's transaction could fail.
int32_t FileManager::NextNumber(const KeyEntry& key, int64_t& number) {
  DataFile& file = *Thread().file;
  size_t n = key.AUTOINC;
  const KeyComponentEntry& counter = key.FIELDS[n - 1];
  auto prefixText = [&] {
    std::string text;
    for (size_t i = 0; i + 1 < n; ++i) {
      std::string part = runtime::GetText(key.FIELDS[i].FIELD);
      text += (key.NOCASE ? runtime::AsciiUpper(part) : part) + '\x01';
    }
    return text;
  };
  std::string prefix = prefixText();
  int32_t code;
  if (key.FIELDS.size() == 1) {
    code = file.SetOrder(key.KEY);
  } else {
    SetHighest(counter.FIELD);
    code = SetOnKey(key.KEY);
  }
  number = 1;
  for (;;) {
    if (code == runtime::ErrorNone) code = counter.ASCEND ? file.Previous() : file.Next();
    if (code == runtime::ErrorRecordNotAvailable) return runtime::ErrorNone;
    if (code != runtime::ErrorNone) return code;
    if (prefixText() != prefix) return runtime::ErrorNone;
    if (takeBackTest_ || !TakeBack(file)) break;
  }
  number = std::max<int64_t>(runtime::GetNumber(counter.FIELD).ToInt64() + 1, 1);
  return runtime::ErrorNone;
}

// False, with the runtime's error state saying why, when the field cannot
// hold the number.
bool FileManager::SetCounter(const runtime::FieldRef& field, int64_t number) {
  runtime::SetNumber(field, number);
  if (runtime::GetNumber(field).ToInt64() == number) return true;
  runtime::SetFileError(runtime::ErrorFileSystem, std::to_string(number - 1),
                        "The highest number is in use");
  return false;
}

// A record a dead station reserved and never filled goes, unless the
// dictionary's test says that other records still depend on it.
bool FileManager::TakeBack(DataFile& file) {
  if (!file.Abandoned()) return false;
  if (takeBackTest_ && !takeBackTest_()) return false;
  return file.Delete() == runtime::ErrorNone;
}

long FileManager::TakeBackAbandoned() {
  if (MakeUsable() != SeverityNone || !HASAUTOINC) return 0;
  DataFile& file = *Thread().file;
  std::vector<std::string> positions;
  if (file.FindAbandoned(&positions) != runtime::ErrorNone) return 0;
  int32_t saved = SaveRecord();
  long taken = 0;
  for (const std::string& position : positions) {
    if (file.FetchAt(position) == runtime::ErrorNone && TakeBack(file)) ++taken;
  }
  RestoreRecord(saved, true);
  return taken;
}

// The first station to write the file after one died cleans up after it.
void FileManager::TakeBackOnce() {
  if (sweptAbandoned_ || !HASAUTOINC || (OPENMODE & kAccessBits) == runtime::AccessReadOnly) return;
  // Inside a transaction the dictionary's test could not open other files.
  if (Thread().file->driver().InTransaction()) return;
  sweptAbandoned_ = true;
  TakeBackAbandoned();
}

Severity FileManager::CancelAutoInc(RelationController* controller) {
  return DeleteReserved([&]() -> Severity {
    if (controller != nullptr) return controller->Delete(false);
    return Thread().file->Delete() == runtime::ErrorNone ? SeverityNone : SeverityInform;
  });
}

Severity FileManager::DeleteReserved(const std::function<Severity()>& remove) {
  InfoEntry& entry = SelectEntry();
  ThreadState& state = Thread();
  if (!entry.USED || !HASAUTOINC || state.reserved.empty()) return SeverityNone;
  Severity result = SeverityInform;
  if (state.file->FetchAt(state.reserved) == runtime::ErrorNone) result = remove();
  if (result == SeverityNone) Reserve(false);
  return result;
}

Severity FileManager::PrimeRecord(bool keepContents) {
  if (ALIASEDFILE != nullptr) {
    int32_t saved = ALIASEDFILE->SaveRecord();
    Severity result = ALIASEDFILE->PrimeRecord(keepContents);
    if (result == SeverityNone) {
      std::memcpy(BUFFER.address, ALIASEDFILE->BUFFER.address,
                  std::min(BUFFER.size, ALIASEDFILE->BUFFER.size));
    }
    ALIASEDFILE->RestoreRecord(saved, true);
    return result;
  }
  if (!keepContents) ClearRecord();
  FillDefaults();
  if (!HASAUTOINC) return SeverityNone;
  return PrimeAutoInc();
}

// ---------------------------------------------------------------- snapshots

RecordSnapshot* FileManager::FindSnapshot(int32_t id) {
  for (RecordSnapshot& snapshot : *BUFFERS) {
    if (snapshot.ID == id) return &snapshot;
  }
  return nullptr;
}

int32_t FileManager::SaveRecord() {
  RecordSnapshot snapshot;
  snapshot.ID = BUFFERS->empty() ? 1 : BUFFERS->back().ID + 1;
  const auto* bytes = static_cast<const unsigned char*>(BUFFER.address);
  snapshot.BUFFER.assign(bytes, bytes + BUFFER.size);
  BUFFERS->push_back(std::move(snapshot));
  return BUFFERS->back().ID;
}

void FileManager::RestoreRecord(int32_t& snapshot, bool copyBack) {
  if (snapshot == 0 && !copyBack) return;
  RecordSnapshot* found = FindSnapshot(snapshot);
  if (found != nullptr) {
    if (copyBack) std::memcpy(BUFFER.address, found->BUFFER.data(), BUFFER.size);
    BUFFERS->erase(BUFFERS->begin() + (found - BUFFERS->data()));
  }
  snapshot = 0;
}

bool FileManager::RecordUnchanged(int32_t snapshot) {
  if (MakeUsable() != SeverityNone) return false;
  const RecordSnapshot* found = FindSnapshot(snapshot);
  return found != nullptr && std::memcmp(found->BUFFER.data(), BUFFER.address, BUFFER.size) == 0;
}

uint16_t FileManager::SaveFileState() {
  ThreadState& state = Thread();
  FileSnapshot snapshot;
  snapshot.ID = SAVED->empty() ? 1 : static_cast<uint16_t>(SAVED->back().ID + 1);
  snapshot.KEY = state.sequenceKey;
  snapshot.POS = state.file->Position().substr(0, 512);
  snapshot.WHELD = state.file->IsHeld() ? 1 : 0;
  snapshot.WWATCH = state.file->IsWatched() ? 1 : 0;
  snapshot.BUFFER = static_cast<uint16_t>(SaveRecord());
  SAVED->push_back(std::move(snapshot));
  return SAVED->back().ID;
}

void FileManager::RestoreFileState(uint16_t& snapshot) {
  auto found = std::find_if(SAVED->begin(), SAVED->end(),
                            [&](const FileSnapshot& s) { return s.ID == snapshot; });
  snapshot = 0;
  if (found == SAVED->end()) return;
  FileSnapshot saved = std::move(*found);
  SAVED->erase(found);
  ThreadState& state = Thread();
  int32_t record = saved.BUFFER;
  // The saved values position the sequence when the record itself is gone.
  if (RecordSnapshot* copy = FindSnapshot(record)) {
    std::memcpy(BUFFER.address, copy->BUFFER.data(), BUFFER.size);
  }
  if (!saved.POS.empty() && state.file->IsOpen()) {
    if (saved.WHELD) state.file->Hold();
    if (saved.WWATCH) state.file->Watch();
    if (saved.KEY >= 0) {
      state.sequenceKey = saved.KEY;
      if (state.file->SetOnPosition(saved.KEY, saved.POS) == runtime::ErrorNone) state.file->Next();
    } else {
      state.file->FetchAt(saved.POS);
    }
  }
  RestoreRecord(record, true);
}

// ---------------------------------------------------------------- errors

void FileManager::NoteError(MessageNumber number) {
  InfoEntry& entry = SelectEntry();
  if (ERRORS != nullptr) ERRORS->CaptureErrorState();
  entry.LASTERROR = number;
}

MessageNumber FileManager::LastError() { return SelectEntry().LASTERROR; }

Severity FileManager::Throw(MessageNumber number) {
  NoteError(number);
  return Throw();
}

Severity FileManager::Throw() {
  InfoEntry& entry = SelectEntry();
  if (ERRORS == nullptr) return SeverityInform;
  return ERRORS->TakeError(entry.LASTERROR);
}

Severity FileManager::ThrowMessage(MessageNumber number, std::string_view text) {
  InfoEntry& entry = SelectEntry();
  entry.LASTERROR = number;
  if (ERRORS == nullptr) return SeverityInform;
  return ERRORS->ThrowMessage(number, text);
}

// ---------------------------------------------------------------- validation

Severity FileManager::ValidateField(int field) {
  if (ALIASEDFILE == nullptr) return SeverityNone;
  int failed = 0;
  return ValidateOnRealFile(field, field, failed);
}

Severity FileManager::ValidateFields(int first, int last, int& failedField) {
  if (ALIASEDFILE != nullptr) return ValidateOnRealFile(first, last, failedField);
  for (int field = first; field <= last; ++field) {
    Severity result = ValidateField(field);
    if (result != SeverityNone) {
      failedField = field;
      return result;
    }
  }
  return SeverityNone;
}

Severity FileManager::ValidateRecord(int& failedField) {
  int count = BUFFER.layout != nullptr ? static_cast<int>(BUFFER.layout->fields().size()) : 0;
  return ValidateFields(1, count, failedField);
}

Severity FileManager::ValidateOnRealFile(int first, int last, int& failedField) {
  FileManager& real = *ALIASEDFILE;
  int32_t saved = real.SaveRecord();
  std::memcpy(real.BUFFER.address, BUFFER.address, std::min(BUFFER.size, real.BUFFER.size));
  Severity result = real.ValidateFields(first, last, failedField);
  real.RestoreRecord(saved, true);
  return result;
}

// ---------------------------------------------------------------- threads

void FileManager::ThreadEnded(int32_t thread) {
  if (perThread_) INFO->remove_if([&](const InfoEntry& e) { return e.ID == thread; });
  auto ended = std::find_if(threads_.begin(), threads_.end(),
                            [&](const auto& state) { return state->thread == thread; });
  if (ended == threads_.end()) return;
  // FILE stays open for the other threads of a shared file; the next thread
  // to come takes it over.
  if ((*ended)->own != nullptr || perThread_) (*ended)->file->Close();
  threads_.erase(ended);
}

}  // namespace ledora::data
