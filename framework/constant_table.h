// Reads a packed table of constants, built into the program as a byte
// string, record by record into a set of destination variables. The print
// preview loads its zoom table with it and the toolbar its tooltip texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/error_severity.h"
#include "runtime/values/field_ref.h"

namespace ledora::framework {

enum ConstantItemType : uint8_t {
  ItemCString = 1,  // zero-terminated
  ItemPString = 2,  // one length byte, then that many characters
  ItemByte = 3,
  ItemShort = 4,   // signed 16 bit, little-endian
  ItemUShort = 5,  // unsigned 16 bit, little-endian
  ItemLong = 6,    // signed 32 bit, little-endian
};

enum ConstantTermination : uint8_t {
  TerminateAtSourceEnd = 1,     // when the read position passes the source
  TerminateAfterItems = 2,      // after ITEMS records, set by the caller
  TerminateAfterCountByte = 3,  // after ITEMS records, ITEMS the source's first byte
  TerminateOnValue = 4,         // when a record's first item equals TERMINATORVALUE
};

struct ConstantItem {
  uint8_t ITEMTYPE = ItemByte;
  runtime::FieldRef DESTINATION;  // a null address reads the item and drops it
};

class ConstantTable {
 public:
  int32_t CHARPNT = 1;  // 1-based read position in STR
  uint16_t ITEMS = 0;
  uint16_t RECORDPNT = 1;  // the next record, from 1
  int32_t SOURCESIZE = 0;
  std::string STR;
  uint8_t TERMINATION = TerminateAtSourceEnd;
  std::string TERMINATORVALUE;
  std::vector<ConstantItem> DESCRIPTOR;

  // False for a mode outside 1-4; such a table has no records.
  bool Initialize(uint8_t termination);
  // Items are added in the order they stand in each record; false (nothing
  // added) for a type outside 1-6.
  bool AddItem(uint8_t itemType, const runtime::FieldRef& destination);
  // Copies the bytes and restarts reading.
  void SetSource(std::string_view bytes);
  void SetSource(const void* bytes, size_t length);
  // SeverityNone when a record was read into the destinations, SeverityInform
  // at the end. A record that would run past the source ends the table and
  // leaves every destination as it was.
  data::Severity Next();
  void Shutdown();

 private:
  struct ItemValue;
  bool AtEnd() const;
  bool ReadItem(uint8_t itemType, size_t* position, ItemValue* value) const;
};

}  // namespace ledora::framework
