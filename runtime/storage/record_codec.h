// Moves record fields between a packed record buffer and SQLite columns so
// that every field comes back byte for byte and stored values order like the
// runtime compares them. Used by the SQLite data file for rows and key values.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>

#include "runtime/values/record_layout.h"

namespace ledora::runtime {

// An integer field of any width (BYTE, SHORT, USHORT, LONG, ULONG, dates and
// times) as a 64-bit value and back.
int64_t LoadInteger(const char* data, FieldType type);
void StoreInteger(char* data, FieldType type, int64_t value);

class RecordCodec {
 public:
  explicit RecordCodec(const RecordLayout& layout) : layout_(layout) {}

  // The column's declared type; a table whose types differ does not hold
  // this record.
  std::string ColumnType(int field) const;
  std::string ColumnName(int field) const;  // "NAME" for "CUS:NAME"
  bool IsString(int field) const { return layout_.fields()[field].type == FieldString; }

  // Binds one field of a record image to parameter index.
  int Bind(sqlite3_stmt* statement, int index, const char* record, int field) const;
  // Reads the columns from firstColumn on, one per field, into a record image.
  void Read(sqlite3_stmt* statement, int firstColumn, char* record) const;

 private:
  int BindDecimal(sqlite3_stmt* statement, int index, const char* data,
                  const FieldDescriptor& field) const;
  void ReadDecimal(sqlite3_value* value, char* data, const FieldDescriptor& field) const;

  const RecordLayout& layout_;
};

}  // namespace ledora::runtime
