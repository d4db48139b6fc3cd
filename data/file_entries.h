// The entries a file manager keeps in its lists: per-thread state, keys with
// their components, record snapshots and file-state snapshots. Relation
// controllers and view managers read the key entries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/message_numbers.h"
#include "runtime/values/field_ref.h"
#include "runtime/values/record_layout.h"

namespace ledora::data {

struct RecordBuffer {
  void* address = nullptr;
  const runtime::RecordLayout* layout = nullptr;
  uint32_t size = 0;
};

// Open state of the file for one thread (or for all, when the file is not
// declared per-thread).
struct InfoEntry {
  int32_t ID = 0;
  uint8_t USED = 0;     // physically open
  uint16_t OPENED = 0;  // open requests not yet matched by a close
  uint8_t ATEOF = 0;
  uint8_t AUTOINCDONE = 0;
  MessageNumber LASTERROR = MsgNone;  // noted by the last failed operation, shown by Throw()
};

struct KeyComponentEntry {
  runtime::FieldRef FIELD;  // the component's field in the record buffer
  std::string FIELDNAME;    // "UPPER(CUS:NAME)" for a string of a case-insensitive key
  uint8_t ASCEND = 1;       // 0: the component sorts descending
};

struct KeyEntry {
  int KEY = 0;                            // the key's number in the file's declaration
  std::string PDESCRIPTION;               // at most 80 characters
  std::vector<KeyComponentEntry> FIELDS;  // the components, in key order
  uint8_t AUTOINC = 0;                    // component numbered automatically, from 1; 0 = none
  uint8_t DUPS = 0;                       // 1: records may share the key
  uint8_t NOCASE = 0;                     // 1: strings compare without case
};

struct RecordSnapshot {
  int32_t ID = 0;                     // what SaveRecord returned
  std::vector<unsigned char> BUFFER;  // the record as it was
};

struct FileSnapshot {
  uint16_t BUFFER = 0;  // record snapshot number
  uint16_t ID = 0;
  uint8_t WHELD = 0;
  uint8_t WWATCH = 0;
  std::string POS;  // at most 512 bytes
  int KEY = -1;     // the key of the sequence, -1 = none
};

}  // namespace ledora::data
