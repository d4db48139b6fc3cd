// What the data files of both drivers share above their queries: the key
// sequence and its anchor, the current record with its position and row
// version, and the hold that the next read takes. SqliteDataFile and
// PgDataFile supply the queries and the locks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/storage/data_file.h"
#include "runtime/storage/key_sequence.h"

namespace ledora::runtime {

class KeyedDataFile : public DataFile {
 public:
  explicit KeyedDataFile(FileDeclaration declaration) : declaration_(std::move(declaration)) {}

  const FileDeclaration& declaration() const override { return declaration_; }
  void SetName(std::string name) override { declaration_.name = std::move(name); }

  bool IsOpen() const override { return open_; }
  int recoverSeconds() const { return recoverSeconds_; }  // "Recover="
  int32_t Send(std::string_view command) override;

  int32_t SetOrder(int key) override;
  int32_t SetOnKey(int key) override;
  int32_t SetOnPosition(int key, std::string_view position) override;
  int32_t SetAfterPosition(int key, std::string_view position) override;
  int32_t SetLimits(KeyLimit first, KeyLimit last) override;
  int32_t Fetch(int key) override;
  int32_t FetchAt(std::string_view position) override;
  std::string Position() const override;

  int32_t Hold(int seconds) override;
  bool IsHeld() const override { return heldPos_ != 0 && heldPos_ == currentPos_; }
  void Watch() override { watched_ = true; }
  bool IsWatched() const override { return watched_; }

  int32_t Add() override { return AddRow(false); }
  int32_t AddReserved() override;
  void Unreserve() override;
  bool Abandoned() override;
  int32_t FindAbandoned(std::vector<std::string>* positions) override;

 protected:
  struct Row {
    int64_t pos = 0;
    int64_t version = 0;
    std::vector<char> image;
  };

  // The driver's part; the queries note their failures.
  // Sets how long the next statements wait for other stations' locks.
  virtual void WaitForLocks(int seconds) = 0;
  virtual bool MayHold() const = 0;
  virtual int ComponentCount(int key) const = 0;
  virtual int32_t RowAt(int64_t pos, std::vector<Row>* rows) = 0;
  virtual int32_t RowsWithKey(int key, std::vector<Row>* rows) = 0;
  // The sequence was set again: whatever was read ahead is void.
  virtual void SequenceChanged() = 0;
  virtual int32_t TakeHold(int64_t pos) = 0;
  virtual bool HeldElsewhere(int64_t pos) = 0;
  // Sharing slots of the table, locked shared so that every station sees
  // them: users that read, that write, that deny reading, that deny writing.
  enum Slot { SlotRead, SlotWrite, SlotDenyRead, SlotDenyWrite };
  virtual bool LockSlot(int slot) = 0;
  virtual void UnlockSlot(int slot) = 0;
  virtual bool SlotLockedElsewhere(int slot) = 0;
  // A row from the buffer; a reserved one carries the row version
  // kUnwritten until its first write.
  virtual int32_t AddRow(bool reserved) = 0;
  // Reservation marks, which every station sees and which go with a
  // station that dies; the driver also knows which of its own files has one.
  virtual bool TakeReservation(int64_t pos) = 0;
  virtual void DropReservation(int64_t pos) = 0;
  virtual bool ReservedAnywhere(int64_t pos) = 0;
  virtual int32_t UnwrittenRows(std::vector<int64_t>* positions) = 0;

  // Takes the slots of an open mode, waiting the "Recover" seconds while
  // another station's use or denial conflicts with it (then 5).
  int32_t Share(uint8_t mode);
  void Unshare();

  // Before Put or Delete: a writable file with a current record that no
  // other station or data file holds.
  int32_t ReadyToChange();
  // After Put or Delete: the record has the next version (or is gone) and
  // is no longer held.
  void Changed(bool removed);
  // Before Duplicate: whether the key is one to ask about (unique).
  bool AsksDuplicate(int key);

  // Takes a row read: into the buffer as the current record, holding it
  // when a hold is armed. A row read in sequence becomes its anchor even
  // when a hold refuses it, so a reader that skips held records gets on.
  int32_t Accept(const Row& row, bool inSequence);
  // Notes why the file cannot be used now (not open; read-only for a write).
  int32_t Ready(bool write);
  bool ValidKey(int key) const;
  std::vector<char> BufferImage() const;
  // A fresh start for a file just opened (or closed): no sequence, no
  // current record, no hold armed.
  void Opened(uint8_t mode);
  void Closed();

  FileDeclaration declaration_;
  bool open_ = false;
  bool readOnly_ = false;
  int recoverSeconds_ = 5;
  bool quickScan_ = false;
  std::vector<int> sharedSlots_;
  KeySequence sequence_;
  int64_t currentPos_ = 0;
  int64_t currentVersion_ = 0;
  bool holdArmed_ = false;
  int holdSeconds_ = 0;
  int64_t heldPos_ = 0;
  bool watched_ = false;
  int64_t reservedPos_ = 0;

  static constexpr int64_t kUnwritten = 0;

 private:
  int32_t SetAtPosition(int key, std::string_view position, KeySequence::Anchor anchor);
};

}  // namespace ledora::runtime
