// The SQL texts of one declared table in one attached database: its schema,
// its indexes, and the statements that read in key order and write rows.
// Only the SQLite data file uses it; key values are numbered parameters
// ?1..?n in component order, a row id is ?(n+1).
#pragma once

#include <string>
#include <vector>

#include "runtime/storage/file_declaration.h"
#include "runtime/storage/record_codec.h"

namespace ledora::runtime {

// Where a read starts relative to the anchor (key values, row id).
enum SeekKind {
  SeekFromEnd,      // no anchor: the first (or last) record of the order
  SeekAtValues,     // at or past the key values
  SeekAtRecord,     // at or past (key values, row id)
  SeekAfterRecord,  // strictly past (key values, row id)
};

class TableSql {
 public:
  TableSql(const FileDeclaration& declaration, const RecordCodec& codec, std::string schema,
           std::string table);

  std::string CreateTable() const;
  std::string DropTable() const;
  std::string IndexName(int key) const;  // "CUSTOMER_IDKEY", unqualified
  std::string CreateIndex(int key) const;
  std::string DropIndex(int key) const;

  // Selected columns: _pos, _version, then the fields. A limit of 0 reads
  // to the end of the order. Only records whose first `first` key values
  // are at or after ?(n+2).. and whose first `last` are at or before
  // ?(2n+2).. are read (0: no such bound).
  std::string Read(int key, SeekKind seek, bool forward, int limit, int first = 0,
                   int last = 0) const;
  std::string Fetch(int key) const;
  std::string FetchAt() const;  // ?1 = row id
  std::string Duplicate(int key) const;
  // Fields as ?1..?m. Made once: an import adds every row with it.
  const std::string& Insert() const;
  std::string Update() const;  // fields ?1..?m, row id ?(m+1), version ?(m+2)
  std::string Delete() const;  // row id ?1, version ?2
  std::string Exists() const;  // row id ?1
  std::string Count() const;
  std::string Qualified() const;  // "k1"."CUSTOMER"

  const std::string& table() const { return table_; }
  int ComponentCount(int key) const;

 private:
  struct Term {
    std::string column;   // quoted column, or _pos
    std::string collate;  // " COLLATE NOCASE" or empty
    bool descending = false;
  };
  std::vector<Term> Terms(int key, bool withPosition) const;
  std::string Optional(int key) const;
  std::string OrderBy(const std::vector<Term>& terms, bool forward) const;
  std::string Compare(const std::vector<Term>& terms, bool forward, bool inclusive,
                      int firstParam = 1) const;
  std::string Columns() const;

  const FileDeclaration& declaration_;
  const RecordCodec& codec_;
  std::string schema_;
  std::string table_;
  mutable std::string insert_;
};

// "name" with embedded quotes doubled.
std::string QuoteName(const std::string& name);

}  // namespace ledora::runtime
