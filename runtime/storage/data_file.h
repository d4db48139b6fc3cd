// One declared data file (a table of a KDS file) with its record buffer, key
// sequences and record operations: the storage primitives that FileManager,
// RelationController, the view engine and the designer's tables call.
//
// Every operation that returns int32_t answers 0 or a runtime error code and
// leaves the runtime error state (runtime_error.h) set to that code, with
// SQLite's own code and message as the driver values for code 90 and for
// failures that came from SQLite; success clears it. Nothing throws.
//
// Open mode byte (DOS numbering): access in the low two bits (0 read only,
// 1 write only, 2 read/write), sharing in the high four bits (0x10 deny all,
// 0x20 deny write, 0x30 deny read, 0x40 deny none). What is honoured:
// - read-only access refuses Add, Put, Delete and BuildKeys with 5; write-only
//   access is treated as read/write.
// - a file that cannot be written (no write permission on the file or its
//   folder) opens with write access as 5 "Access Denied", read-only as 0.
// - sharing holds between stations (processes, or drivers in one process):
//   an open that another station's open mode denies, or whose own deny
//   conflicts with another station's use, waits the "Recover" seconds and
//   then fails with 5. Sharing is per table, not per KDS file.
// - a file locked by another station's write or transaction is waited for
//   the "Recover" seconds (default 5); then 5 on open, 32 on other operations.
//
// Sequences: SetOrder/SetOnKey/SetOnPosition start a sequence in a key's
// order (kRecordOrder: record-position order), which Next and Previous walk.
// Equal keys of a dups key come in record-position order; an optional key
// leaves out records whose key fields are all blank or zero. The sequence
// remembers the last record read, not a row, so inserts and deletes by other
// stations between reads neither skip nor repeat records. Reading on keeps
// a read open between calls, which holds off other stations' commits (never
// their reads) until the driver's EndReads, a write or transaction of this
// station, or a short time of reading on; so what Next and Previous return
// is never older than the call.
//
// Several data files may be declared for one table (a file declared per
// thread): each keeps its own sequence, current record and hold, and they
// never deny each other sharing.
//
// Positions are stable text handles of a record (its row id) that survive
// inserts and deletes of other records; a deleted record's position is never
// given to another record.
//
// Concurrency: every Put and Delete checks that the record has not changed
// since this file read it (89). Holds are visible to other stations: a
// record held elsewhere cannot be held (43 after the hold's wait), written or
// deleted (43); plain reads are never refused. A process that dies loses its
// holds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/storage/file_declaration.h"

namespace ledora::runtime {

enum OpenMode : uint8_t {
  AccessReadOnly = 0x00,
  AccessWriteOnly = 0x01,
  AccessReadWrite = 0x02,
  DenyAll = 0x10,
  DenyWrite = 0x20,
  DenyRead = 0x30,
  DenyNone = 0x40,
  OpenReadWriteShared = AccessReadWrite | DenyNone,  // 66, the file manager's default
};

class StorageDriver;

// One end of a key sequence: the first `components` key values of a record
// image (the rest of the image does not count). No components: open.
struct KeyLimit {
  int components = 0;
  const void* record = nullptr;
};

class DataFile {
 public:
  virtual ~DataFile() = default;

  virtual StorageDriver& driver() = 0;
  virtual const FileDeclaration& declaration() const = 0;
  // Replaces the name used by the next Open or Create (the designer builds
  // its table names at run time).
  virtual void SetName(std::string name) = 0;

  // Open: 52 when already open; 2 when the file or its table does not exist;
  // 36 when the file is not a KDS file (not SQLite, damaged, or a foreign
  // database); 47 when the table's columns do not match the record; 46 when
  // a key's index is missing or differs from its declaration (BuildKeys
  // mends it); 5 access or sharing refused; 45 empty name; 4 too many files.
  virtual int32_t Open(uint8_t mode = OpenReadWriteShared) = 0;
  // Creates the file when missing and this table in it, empty: an existing
  // table of that name is replaced, other tables of the file stay. The file
  // must be closed here. Refuses to overwrite a file that is not a KDS file
  // (36). Leaves the file closed.
  virtual int32_t Create() = 0;
  // As Create, but a table that exists (also one another station makes at
  // the same moment) is kept as it is, so that two stations opening a new
  // file at once never empty each other's records.
  virtual int32_t CreateIfMissing() = 0;
  virtual int32_t Close() = 0;  // releases holds; 0 also when not open
  virtual bool IsOpen() const = 0;
  // Drops and rebuilds the table's indexes from the declaration; works open
  // or closed. 40 when a unique key finds duplicates (the indexes stay as they
  // were).
  virtual int32_t BuildKeys() = 0;
  // "Recover=n": wait up to n seconds for locks. "QUICKSCAN=on|off": taken
  // and kept for callers that switch it; reading on is quick either way.
  // Others: 80.
  virtual int32_t Send(std::string_view command) = 0;

  // Sequences. SetOrder: Next reads from the first record of the order,
  // Previous from the last. SetOnKey: at the key values in the record buffer
  // (a partial key with the rest cleared positions before the first match);
  // Next reads the first record at or after them, Previous the last at or
  // before them. SetOnPosition: at a record of a position, in the key's
  // order; when that record is gone, at the key values in the buffer.
  virtual int32_t SetOrder(int key) = 0;
  virtual int32_t SetOnKey(int key) = 0;
  virtual int32_t SetOnPosition(int key, std::string_view position) = 0;
  // As SetOnPosition, but past that record: Next reads the record after it,
  // Previous the one before it.
  virtual int32_t SetAfterPosition(int key, std::string_view position) = 0;
  // Confines the sequence just set to the records whose leading key values
  // lie between those of first and last (inclusive), so that reading stops
  // at a limit without stepping on; past the end, turning round starts at
  // the limit. The images are copied; the next Set* clears both. 30 without
  // a key sequence, 47 for more components than the key has.
  virtual int32_t SetLimits(KeyLimit first, KeyLimit last) = 0;
  // Reads into the record buffer; 33 at the end (buffer untouched), 30 when
  // no sequence was set.
  virtual int32_t Next() = 0;
  virtual int32_t Previous() = 0;

  // Fetch: the record whose key values equal those in the buffer (35 when
  // none). FetchAt: the record at a position (35 when gone). Neither moves
  // the sequence.
  virtual int32_t Fetch(int key) = 0;
  virtual int32_t FetchAt(std::string_view position) = 0;
  // The position of the current record (the one last read, added or
  // written); empty when there is none.
  virtual std::string Position() const = 0;

  // Add: a new record from the buffer; it becomes the current record (a
  // failed Add leaves none).
  // Put/Delete: write or delete the current record (33 when there is none;
  // 89 when another station changed or deleted it since it was read).
  // 40: a unique key already has the record's values.
  virtual int32_t Add() = 0;
  virtual int32_t Put() = 0;
  virtual int32_t Delete() = 0;

  // Hold: the next read (Next, Previous, Fetch, FetchAt) holds the record it
  // finds; when another station holds it, the read waits up to seconds and
  // then fails with 43, moving the sequence past that record. One record is
  // held at a time; Release, Close, a new hold, and a successful Put or
  // Delete of the held record let it go.
  virtual int32_t Hold(int seconds = 0) = 0;
  virtual void Release() = 0;
  virtual bool IsHeld() const = 0;  // this file holds its current record
  // Changes are always checked on write; Watch only records that the caller
  // asked for it, so file-state snapshots can restore the flag.
  virtual void Watch() = 0;
  virtual bool IsWatched() const = 0;

  // Whether the buffer's values of a unique key equal another record's
  // entry (the current record does not count). Dups keys answer false.
  virtual bool Duplicate(int key) = 0;
  virtual int64_t Records() = 0;  // -1 on error

  // Numbering: from BeginNumbering to EndNumbering no other station numbers
  // records of this table (its BeginNumbering waits the "Recover" seconds,
  // then fails with 32), and reads see every record the others added, so
  // the highest number read is the highest in use. Inside a transaction the
  // table stays this station's until the transaction ends; otherwise
  // EndNumbering commits what was written meanwhile (keep) or undoes it.
  virtual int32_t BeginNumbering() = 0;
  virtual int32_t EndNumbering(bool keep) = 0;

  // Reservations. AddReserved: as Add, but the record counts as reserved
  // until it is first written (Put), and stays this file's reservation
  // until Unreserve, Close or the station's end, also a killed one's.
  // Abandoned: the current record is a reservation never written that no
  // station keeps any more. FindAbandoned: the positions of all such.
  virtual int32_t AddReserved() = 0;
  virtual void Unreserve() = 0;
  virtual bool Abandoned() = 0;
  virtual int32_t FindAbandoned(std::vector<std::string>* positions) = 0;
};

}  // namespace ledora::runtime
