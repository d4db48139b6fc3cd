// The SQL texts of one declared table in one attached database (SQLite) or
// schema (PostgreSQL): its columns, its indexes, and the statements that
// read in key order and write rows. Key values are numbered parameters
// ?1..?n ($1..$n) in component order, a row id is ?(n+1).
//
// PostgreSQL has no NOCASE collation that orders bytes as SQLite's does, so
// there each string field of a case-insensitive key gets a second column of
// its value with ASCII letters in lower case ("nc_NAME"), written by the
// data file beside the field (FoldedFields) and used by the key instead.
#pragma once

#include <string>
#include <string_view>
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

enum SqlDialect { DialectSqlite, DialectPostgres };

class TableSql {
 public:
  TableSql(const FileDeclaration& declaration, const RecordCodec& codec, std::string schema,
           std::string table, SqlDialect dialect = DialectSqlite);

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
  // Fields as ?1..?m, folded fields after them; PostgreSQL returns _pos.
  // Made once: an import adds every row with it. A reserved row starts at
  // version 0, which its first write leaves.
  const std::string& Insert(bool reserved = false) const;
  // Fields ?1..?m, row id ?(m+1), version ?(m+2), folded fields after them.
  std::string Update() const;
  std::string Delete() const;  // row id ?1, version ?2
  std::string Exists() const;  // row id ?1
  std::string Count() const;
  std::string Unwritten() const;  // the positions of rows still at version 0
  std::string Qualified() const;  // "k1"."CUSTOMER"

  const std::string& table() const { return table_; }
  int ComponentCount(int key) const;
  // The string fields of case-insensitive keys, in field order (PostgreSQL;
  // none for SQLite). A key component on one of them reads its folded value.
  const std::vector<int>& FoldedFields() const { return folded_; }
  bool Folded(int key, int component) const;
  // The declared type of a field's column; a table whose types differ does
  // not hold this record.
  std::string ColumnType(int field) const;

 private:
  struct Term {
    std::string column;   // quoted column, or _pos
    std::string collate;  // " COLLATE NOCASE" or empty
    bool descending = false;
  };
  std::vector<Term> Terms(int key, bool withPosition) const;
  std::string Optional(int key) const;
  // PostgreSQL keeps packed decimals as bytes; keys read them in numeric order.
  bool OrdersDecimal(int field) const;
  static std::string DecimalOrder(const std::string& column);
  std::string OrderBy(const std::vector<Term>& terms, bool forward) const;
  std::string Compare(const std::vector<Term>& terms, bool forward, bool inclusive,
                      int firstParam = 1) const;
  std::string Columns() const;
  std::string Param(size_t number) const;

  const FileDeclaration& declaration_;
  const RecordCodec& codec_;
  std::string schema_;
  std::string table_;
  SqlDialect dialect_;
  std::vector<int> folded_;
  mutable std::string insert_[2];
};

// A folded field's column name: "nc_NAME".
std::string FoldedColumn(const std::string& column);

// A packed decimal as the bytes a PostgreSQL key compares: ordered as the
// numbers are.
std::string DecimalOrderBytes(std::string_view packed);

// "name" with embedded quotes doubled.
std::string QuoteName(const std::string& name);

}  // namespace ledora::runtime
