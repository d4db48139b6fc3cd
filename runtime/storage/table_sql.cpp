#include "runtime/storage/table_sql.h"

#include <algorithm>
#include <tuple>

#include "runtime/storage/storage_name.h"

namespace ledora::runtime {

std::string QuoteName(const std::string& name) {
  std::string quoted = "\"";
  for (char c : name) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

std::string FoldedColumn(const std::string& column) { return "nc_" + column; }

TableSql::TableSql(const FileDeclaration& declaration, const RecordCodec& codec, std::string schema,
                   std::string table, SqlDialect dialect)
    : declaration_(declaration),
      codec_(codec),
      schema_(std::move(schema)),
      table_(std::move(table)),
      dialect_(dialect) {
  if (dialect_ != DialectPostgres) return;
  for (const KeyDeclaration& key : declaration_.keys) {
    for (const KeyComponent& c : key.components) {
      if (key.noCase && codec_.IsString(c.field)) folded_.push_back(c.field);
    }
  }
  std::sort(folded_.begin(), folded_.end());
  folded_.erase(std::unique(folded_.begin(), folded_.end()), folded_.end());
}

bool TableSql::Folded(int key, int component) const {
  const KeyDeclaration& k = declaration_.keys[key];
  return dialect_ == DialectPostgres && k.noCase && codec_.IsString(k.components[component].field);
}

bool TableSql::OrdersDecimal(int field) const {
  return dialect_ == DialectPostgres && declaration_.layout->fields()[field].type == FieldDecimal;
}

// A packed decimal's bytes order its positive values only: the sign nibble
// puts every negative after them, largest first. The key reads them through
// bytes that order as the numbers do (DecimalOrderBytes makes the same).
std::string TableSql::DecimalOrder(const std::string& column) {
  return "(CASE WHEN get_byte(" + column +
         ", 0) >= 16 THEN '\\x00'::bytea || decode(translate(encode(" + column +
         ", 'hex'), '0123456789abcdef', 'fedcba9876543210'), 'hex') ELSE '\\x01'::bytea || " +
         column + " END)";
}

std::string DecimalOrderBytes(std::string_view packed) {
  std::string ordered(1, '\x01');
  if (!packed.empty() && static_cast<unsigned char>(packed[0]) >= 16) {
    ordered[0] = '\x00';
    for (char c : packed) ordered += static_cast<char>(~static_cast<unsigned char>(c));
  } else {
    ordered += packed;
  }
  return ordered;
}

std::string TableSql::Param(size_t number) const {
  return (dialect_ == DialectPostgres ? "$" : "?") + std::to_string(number);
}

// PostgreSQL: numbers as bigint, reals as double precision, strings and
// packed decimals as their bytes, which compare as SQLite's text does.
std::string TableSql::ColumnType(int field) const {
  if (dialect_ == DialectSqlite) return codec_.ColumnType(field);
  switch (declaration_.layout->fields()[field].type) {
    case FieldReal:
      return "double precision";
    case FieldDecimal:
    case FieldString:
      return "bytea";
    default:
      return "bigint";
  }
}

std::string TableSql::Qualified() const { return QuoteName(schema_) + "." + QuoteName(table_); }

std::string TableSql::Columns() const {
  std::string columns = "_pos, _version";
  for (size_t i = 0; i < declaration_.layout->fields().size(); ++i) {
    columns += ", " + QuoteName(codec_.ColumnName(static_cast<int>(i)));
  }
  return columns;
}

std::string TableSql::CreateTable() const {
  // AUTOINCREMENT (a sequence): a deleted record's position is never reused.
  std::string sql = "CREATE TABLE " + Qualified() +
                    (dialect_ == DialectPostgres ? "(_pos bigserial PRIMARY KEY"
                                                 : "(_pos INTEGER PRIMARY KEY AUTOINCREMENT");
  for (size_t i = 0; i < declaration_.layout->fields().size(); ++i) {
    int field = static_cast<int>(i);
    sql += ", " + QuoteName(codec_.ColumnName(field)) + " " + ColumnType(field);
  }
  for (int field : folded_)
    sql += ", " + QuoteName(FoldedColumn(codec_.ColumnName(field))) + " bytea";
  return sql + (dialect_ == DialectPostgres ? ", _version bigint NOT NULL DEFAULT 1)"
                                            : ", _version INTEGER NOT NULL DEFAULT 1)");
}

std::string TableSql::DropTable() const { return "DROP TABLE IF EXISTS " + Qualified(); }

std::string TableSql::IndexName(int key) const {
  return table_ + "_" + LabelName(declaration_.keys[key].label);
}

int TableSql::ComponentCount(int key) const {
  return key == kRecordOrder ? 0 : static_cast<int>(declaration_.keys[key].components.size());
}

std::vector<TableSql::Term> TableSql::Terms(int key, bool withPosition) const {
  std::vector<Term> terms;
  if (key != kRecordOrder) {
    const KeyDeclaration& k = declaration_.keys[key];
    for (const KeyComponent& c : k.components) {
      Term term;
      term.column = QuoteName(codec_.ColumnName(c.field));
      if (k.noCase && codec_.IsString(c.field)) {
        if (dialect_ == DialectPostgres) {
          term.column = QuoteName(FoldedColumn(codec_.ColumnName(c.field)));
        } else {
          term.collate = " COLLATE NOCASE";
        }
      } else if (OrdersDecimal(c.field)) {
        term.column = DecimalOrder(term.column);
      }
      term.descending = c.descending;
      terms.push_back(term);
    }
  }
  // Equal keys come in record-position order whatever the key's direction.
  if (withPosition) terms.push_back({"_pos", "", false});
  return terms;
}

std::string TableSql::Optional(int key) const {
  if (key == kRecordOrder || !declaration_.keys[key].optional) return "";
  std::string sql = "(";
  const auto& components = declaration_.keys[key].components;
  for (size_t i = 0; i < components.size(); ++i) {
    if (i > 0) sql += " OR ";
    int field = components[i].field;
    std::string blank = dialect_ == DialectPostgres ? " <> ''::bytea" : " <> ''";
    std::string column = QuoteName(codec_.ColumnName(field));
    if (OrdersDecimal(field)) {
      sql += "btrim(" + column + ", '\\x00'::bytea)" + blank;
    } else {
      sql += column + (codec_.IsString(field) ? blank : " <> 0");
    }
  }
  return sql + ")";
}

std::string TableSql::CreateIndex(int key) const {
  const KeyDeclaration& k = declaration_.keys[key];
  // PostgreSQL puts an index beside its table; SQLite names the database.
  bool postgres = dialect_ == DialectPostgres;
  std::string sql = std::string("CREATE ") + (k.unique ? "UNIQUE " : "") + "INDEX " +
                    (postgres ? "" : QuoteName(schema_) + ".") + QuoteName(IndexName(key)) +
                    " ON " + (postgres ? Qualified() : QuoteName(table_)) + "(";
  // SQLite's index entries end in the row id; PostgreSQL's must be told.
  std::vector<Term> terms = Terms(key, postgres && !k.unique);
  for (size_t i = 0; i < terms.size(); ++i) {
    if (i > 0) sql += ", ";
    sql += terms[i].column + terms[i].collate + (terms[i].descending ? " DESC" : "");
  }
  sql += ")";
  std::string optional = Optional(key);
  if (!optional.empty()) sql += " WHERE " + optional;
  return sql;
}

std::string TableSql::DropIndex(int key) const {
  return "DROP INDEX IF EXISTS " + QuoteName(schema_) + "." + QuoteName(IndexName(key));
}

std::string TableSql::OrderBy(const std::vector<Term>& terms, bool forward) const {
  std::string sql = " ORDER BY ";
  for (size_t i = 0; i < terms.size(); ++i) {
    if (i > 0) sql += ", ";
    sql += terms[i].column + terms[i].collate + (terms[i].descending == forward ? " DESC" : "");
  }
  return sql;
}

// Lexicographic comparison in key order. An all-ascending key compares as a
// row value, which SQLite turns into one index seek; other keys spell the
// comparison out, led by a bound on the first component for the seek.
std::string TableSql::Compare(const std::vector<Term>& terms, bool forward, bool inclusive,
                              int firstParam) const {
  auto param = [&](size_t i) { return Param(i + firstParam); };
  bool ascending = true;
  for (const Term& t : terms) ascending = ascending && !t.descending;
  if (ascending) {
    std::string left = "(", right = "(";
    for (size_t i = 0; i < terms.size(); ++i) {
      if (i > 0) left += ", ", right += ", ";
      left += terms[i].column;
      right += param(i) + terms[i].collate;
    }
    std::string op = forward ? ">" : "<";
    return left + ") " + op + (inclusive ? "=" : "") + " " + right + ")";
  }
  auto op = [&](size_t i, bool orEqual) {
    bool greater = forward != terms[i].descending;
    return std::string(greater ? " >" : " <") + (orEqual ? "= " : " ");
  };
  std::string sql = "(" + terms[0].column + op(0, true) + param(0) + terms[0].collate + " AND (";
  for (size_t i = 0; i < terms.size(); ++i) {
    if (i > 0) sql += " OR ";
    sql += "(";
    for (size_t j = 0; j < i; ++j) {
      sql += terms[j].column + " = " + param(j) + terms[j].collate + " AND ";
    }
    bool last = i + 1 == terms.size();
    sql += terms[i].column + op(i, last && inclusive) + param(i) + terms[i].collate + ")";
  }
  return sql + "))";
}

std::string TableSql::Read(int key, SeekKind seek, bool forward, int limit, int first,
                           int last) const {
  std::vector<std::string> conditions;
  std::string optional = Optional(key);
  if (!optional.empty()) conditions.push_back(optional);
  if (seek != SeekFromEnd) {
    bool withPosition = seek != SeekAtValues;
    conditions.push_back(Compare(Terms(key, withPosition), forward, seek != SeekAfterRecord));
  }
  int n = ComponentCount(key);
  for (auto [count, after, firstParam] :
       {std::tuple{first, true, n + 2}, {last, false, 2 * n + 2}}) {
    if (count == 0) continue;
    std::vector<Term> terms = Terms(key, false);
    terms.resize(count);
    conditions.push_back(Compare(terms, after, true, firstParam));
  }
  std::string sql = "SELECT " + Columns() + " FROM " + Qualified();
  for (size_t i = 0; i < conditions.size(); ++i) {
    sql += (i == 0 ? " WHERE " : " AND ") + conditions[i];
  }
  sql += OrderBy(Terms(key, true), forward);
  return limit > 0 ? sql + " LIMIT " + std::to_string(limit) : sql;
}

std::string TableSql::Fetch(int key) const {
  std::vector<Term> terms = Terms(key, false);
  std::string sql = "SELECT " + Columns() + " FROM " + Qualified() + " WHERE ";
  std::string optional = Optional(key);
  if (!optional.empty()) sql += optional + " AND ";
  for (size_t i = 0; i < terms.size(); ++i) {
    if (i > 0) sql += " AND ";
    sql += terms[i].column + " = " + Param(i + 1) + terms[i].collate;
  }
  return sql + OrderBy(Terms(key, true), true) + " LIMIT 1";
}

std::string TableSql::FetchAt() const {
  return "SELECT " + Columns() + " FROM " + Qualified() + " WHERE _pos = " + Param(1);
}

std::string TableSql::Duplicate(int key) const {
  std::vector<Term> terms = Terms(key, false);
  std::string sql = "SELECT 1 FROM " + Qualified() + " WHERE ";
  std::string optional = Optional(key);
  if (!optional.empty()) sql += optional + " AND ";
  for (size_t i = 0; i < terms.size(); ++i) {
    sql += terms[i].column + " = " + Param(i + 1) + terms[i].collate + " AND ";
  }
  return sql + "_pos <> " + Param(terms.size() + 1) + " LIMIT 1";
}

const std::string& TableSql::Insert(bool reserved) const {
  std::string& insert = insert_[reserved ? 1 : 0];
  if (!insert.empty()) return insert;
  size_t count = declaration_.layout->fields().size();
  std::string sql = "INSERT INTO " + Qualified() + "(";
  std::string values;
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) sql += ", ", values += ", ";
    sql += QuoteName(codec_.ColumnName(static_cast<int>(i)));
    values += Param(i + 1);
  }
  for (size_t i = 0; i < folded_.size(); ++i) {
    sql += ", " + QuoteName(FoldedColumn(codec_.ColumnName(folded_[i])));
    values += ", " + Param(count + i + 1);
  }
  insert = sql + ", _version) VALUES(" + values + (reserved ? ", 0)" : ", 1)");
  if (dialect_ == DialectPostgres) insert += " RETURNING _pos";
  return insert;
}

std::string TableSql::Update() const {
  size_t count = declaration_.layout->fields().size();
  std::string sql = "UPDATE " + Qualified() + " SET ";
  for (size_t i = 0; i < count; ++i) {
    sql += QuoteName(codec_.ColumnName(static_cast<int>(i))) + " = " + Param(i + 1) + ", ";
  }
  for (size_t i = 0; i < folded_.size(); ++i) {
    sql += QuoteName(FoldedColumn(codec_.ColumnName(folded_[i]))) + " = " + Param(count + 3 + i) +
           ", ";
  }
  return sql + "_version = _version + 1 WHERE _pos = " + Param(count + 1) +
         " AND _version = " + Param(count + 2);
}

std::string TableSql::Delete() const {
  return "DELETE FROM " + Qualified() + " WHERE _pos = " + Param(1) + " AND _version = " + Param(2);
}

std::string TableSql::Exists() const {
  return "SELECT _version FROM " + Qualified() + " WHERE _pos = " + Param(1);
}

std::string TableSql::Count() const { return "SELECT count(*) FROM " + Qualified(); }

std::string TableSql::Unwritten() const {
  return "SELECT _pos FROM " + Qualified() + " WHERE _version = 0";
}

}  // namespace ledora::runtime
