#include "runtime/storage/keyed_data_file.h"

#include <cstring>

#include "runtime/storage/data_file_helpers.h"
#include "runtime/system/runtime_error.h"

namespace ledora::runtime {

int32_t KeyedDataFile::Send(std::string_view command) {
  return ApplyStorageCommand(command, &recoverSeconds_, &quickScan_);
}

int32_t KeyedDataFile::Ready(bool write) {
  if (!open_) return Failure(ErrorFileNotOpen);
  if (write && readOnly_) return Failure(ErrorAccessDenied);
  WaitForLocks(recoverSeconds_);
  return ErrorNone;
}

bool KeyedDataFile::ValidKey(int key) const {
  return key == kRecordOrder || (key >= 0 && static_cast<size_t>(key) < declaration_.keys.size());
}

std::vector<char> KeyedDataFile::BufferImage() const {
  const char* buffer = static_cast<const char*>(declaration_.buffer);
  return std::vector<char>(buffer, buffer + declaration_.layout->recordSize());
}

void KeyedDataFile::Opened(uint8_t mode) {
  open_ = true;
  readOnly_ = (mode & 3) == AccessReadOnly;
  sequence_.Clear();
  currentPos_ = 0;
  holdArmed_ = false;
  watched_ = false;
  ClearError();
}

void KeyedDataFile::Closed() {
  open_ = false;
  sequence_.Clear();
  currentPos_ = 0;
  ClearError();
}

int32_t KeyedDataFile::SetOrder(int key) {
  if (int32_t code = Ready(false); code != ErrorNone) return code;
  if (!ValidKey(key)) return Failure(ErrorInvalidIndexString);
  SequenceChanged();
  sequence_.Start(key);
  ClearError();
  return ErrorNone;
}

int32_t KeyedDataFile::SetOnKey(int key) {
  if (int32_t code = SetOrder(key); code != ErrorNone) return code;
  if (key != kRecordOrder)
    sequence_.AtValues(declaration_.buffer, declaration_.layout->recordSize());
  return ErrorNone;
}

int32_t KeyedDataFile::SetOnPosition(int key, std::string_view position) {
  return SetAtPosition(key, position, KeySequence::AnchorRecord);
}

int32_t KeyedDataFile::SetAfterPosition(int key, std::string_view position) {
  return SetAtPosition(key, position, KeySequence::AnchorAfter);
}

int32_t KeyedDataFile::SetAtPosition(int key, std::string_view position,
                                     KeySequence::Anchor anchor) {
  if (int32_t code = SetOrder(key); code != ErrorNone) return code;
  int64_t pos = 0;
  if (!ParsePosition(position, &pos)) return Failure(ErrorRecordNotFound);
  std::vector<Row> rows;
  if (int32_t code = RowAt(pos, &rows); code != ErrorNone) return code;
  // A record deleted meanwhile: its place in the order is where the buffer's
  // values would be.
  sequence_.AtRecord(pos, rows.empty() ? BufferImage() : std::move(rows[0].image), anchor);
  return ErrorNone;
}

int32_t KeyedDataFile::SetLimits(KeyLimit first, KeyLimit last) {
  if (int32_t code = Ready(false); code != ErrorNone) return code;
  int32_t code = sequence_.Limit(first, last, ComponentCount(sequence_.key()),
                                 declaration_.layout->recordSize());
  if (code != ErrorNone) return code;
  SequenceChanged();
  ClearError();
  return ErrorNone;
}

int32_t KeyedDataFile::Accept(const Row& row, bool inSequence) {
  if (inSequence) sequence_.Passed(row.pos, row.image);
  if (holdArmed_) {
    if (int32_t code = TakeHold(row.pos); code != ErrorNone) return code;
  }
  memcpy(declaration_.buffer, row.image.data(), row.image.size());
  currentPos_ = row.pos;
  currentVersion_ = row.version;
  ClearError();
  return ErrorNone;
}

int32_t KeyedDataFile::Fetch(int key) {
  if (int32_t code = Ready(false); code != ErrorNone) return code;
  if (key == kRecordOrder || !ValidKey(key)) return Failure(ErrorInvalidIndexString);
  std::vector<Row> rows;
  if (int32_t code = RowsWithKey(key, &rows); code != ErrorNone) return code;
  if (rows.empty()) return Failure(ErrorRecordNotFound);
  return Accept(rows[0], false);
}

int32_t KeyedDataFile::FetchAt(std::string_view position) {
  if (int32_t code = Ready(false); code != ErrorNone) return code;
  int64_t pos = 0;
  if (!ParsePosition(position, &pos)) return Failure(ErrorRecordNotFound);
  std::vector<Row> rows;
  if (int32_t code = RowAt(pos, &rows); code != ErrorNone) return code;
  if (rows.empty()) return Failure(ErrorRecordNotFound);
  return Accept(rows[0], false);
}

std::string KeyedDataFile::Position() const {
  return currentPos_ == 0 ? std::string() : std::to_string(currentPos_);
}

int32_t KeyedDataFile::Share(uint8_t mode) {
  uint8_t deny = mode & 0xF0;
  bool writing = (mode & 3) != AccessReadOnly;
  bool denyRead = deny == DenyAll || deny == DenyRead;
  bool denyWrite = deny == DenyAll || deny == DenyWrite;
  std::vector<int> mine = {SlotRead};
  if (writing) mine.push_back(SlotWrite);
  if (denyRead) mine.push_back(SlotDenyRead);
  if (denyWrite) mine.push_back(SlotDenyWrite);
  // Each use conflicts with the matching denial of another station.
  auto conflicts = [&]() {
    return SlotLockedElsewhere(SlotDenyRead) || (writing && SlotLockedElsewhere(SlotDenyWrite)) ||
           (denyRead && SlotLockedElsewhere(SlotRead)) ||
           (denyWrite && SlotLockedElsewhere(SlotWrite));
  };
  bool shared = RetryUntil(recoverSeconds_, [&]() {
    sharedSlots_.clear();
    for (int slot : mine) {
      if (!LockSlot(slot)) break;
      sharedSlots_.push_back(slot);
    }
    if (sharedSlots_.size() == mine.size() && !conflicts()) return true;
    Unshare();
    return false;
  });
  return shared ? ErrorNone : Failure(ErrorAccessDenied);
}

void KeyedDataFile::Unshare() {
  for (int slot : sharedSlots_) UnlockSlot(slot);
  sharedSlots_.clear();
}

int32_t KeyedDataFile::ReadyToChange() {
  if (int32_t code = Ready(true); code != ErrorNone) return code;
  if (currentPos_ == 0) return Failure(ErrorRecordNotAvailable);
  if (HeldElsewhere(currentPos_)) return Failure(ErrorRecordHeld);
  return ErrorNone;
}

void KeyedDataFile::Changed(bool removed) {
  if (heldPos_ == currentPos_) Release();
  ++currentVersion_;
  if (removed) currentPos_ = 0;
  ClearError();
}

bool KeyedDataFile::AsksDuplicate(int key) {
  if (Ready(false) != ErrorNone) return false;
  if (key == kRecordOrder || !ValidKey(key)) {
    Failure(ErrorInvalidIndexString);
    return false;
  }
  return declaration_.keys[key].unique;
}

int32_t KeyedDataFile::Hold(int seconds) {
  if (int32_t code = Ready(false); code != ErrorNone) return code;
  if (!MayHold()) return Failure(ErrorAccessDenied);
  holdArmed_ = true;
  holdSeconds_ = seconds;
  ClearError();
  return ErrorNone;
}

// ---- reservations ----

// The mark is taken before the numbering that added the row ends, so no
// other station ever sees the row unmarked while this one lives.
int32_t KeyedDataFile::AddReserved() {
  if (int32_t code = AddRow(true); code != ErrorNone) return code;
  Unreserve();
  if (TakeReservation(currentPos_)) reservedPos_ = currentPos_;
  ClearError();
  return ErrorNone;
}

void KeyedDataFile::Unreserve() {
  if (reservedPos_ != 0) DropReservation(reservedPos_);
  reservedPos_ = 0;
}

bool KeyedDataFile::Abandoned() {
  return open_ && currentPos_ != 0 && currentVersion_ == kUnwritten &&
         !ReservedAnywhere(currentPos_);
}

int32_t KeyedDataFile::FindAbandoned(std::vector<std::string>* positions) {
  if (int32_t code = Ready(false); code != ErrorNone) return code;
  std::vector<int64_t> unwritten;
  if (int32_t code = UnwrittenRows(&unwritten); code != ErrorNone) return code;
  for (int64_t pos : unwritten) {
    if (!ReservedAnywhere(pos)) positions->push_back(std::to_string(pos));
  }
  ClearError();
  return ErrorNone;
}

}  // namespace ledora::runtime
