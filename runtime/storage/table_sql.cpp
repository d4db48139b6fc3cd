#include "runtime/storage/table_sql.h"

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

TableSql::TableSql(const FileDeclaration& declaration, const RecordCodec& codec, std::string schema,
                   std::string table)
    : declaration_(declaration),
      codec_(codec),
      schema_(std::move(schema)),
      table_(std::move(table)) {}

std::string TableSql::Qualified() const { return QuoteName(schema_) + "." + QuoteName(table_); }

std::string TableSql::Columns() const {
  std::string columns = "_pos, _version";
  for (size_t i = 0; i < declaration_.layout->fields().size(); ++i) {
    columns += ", " + QuoteName(codec_.ColumnName(static_cast<int>(i)));
  }
  return columns;
}

std::string TableSql::CreateTable() const {
  // AUTOINCREMENT: a deleted record's position is never reused.
  std::string sql = "CREATE TABLE " + Qualified() + "(_pos INTEGER PRIMARY KEY AUTOINCREMENT";
  for (size_t i = 0; i < declaration_.layout->fields().size(); ++i) {
    int field = static_cast<int>(i);
    sql += ", " + QuoteName(codec_.ColumnName(field)) + " " + codec_.ColumnType(field);
  }
  return sql + ", _version INTEGER NOT NULL DEFAULT 1)";
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
      if (k.noCase && codec_.IsString(c.field)) term.collate = " COLLATE NOCASE";
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
    sql += QuoteName(codec_.ColumnName(field)) + (codec_.IsString(field) ? " <> ''" : " <> 0");
  }
  return sql + ")";
}

std::string TableSql::CreateIndex(int key) const {
  const KeyDeclaration& k = declaration_.keys[key];
  std::string sql = std::string("CREATE ") + (k.unique ? "UNIQUE " : "") + "INDEX " +
                    QuoteName(schema_) + "." + QuoteName(IndexName(key)) + " ON " +
                    QuoteName(table_) + "(";
  std::vector<Term> terms = Terms(key, false);
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
  auto param = [firstParam](size_t i) { return "?" + std::to_string(i + firstParam); };
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
    sql += terms[i].column + " = ?" + std::to_string(i + 1) + terms[i].collate;
  }
  return sql + OrderBy(Terms(key, true), true) + " LIMIT 1";
}

std::string TableSql::FetchAt() const {
  return "SELECT " + Columns() + " FROM " + Qualified() + " WHERE _pos = ?1";
}

std::string TableSql::Duplicate(int key) const {
  std::vector<Term> terms = Terms(key, false);
  std::string sql = "SELECT 1 FROM " + Qualified() + " WHERE ";
  std::string optional = Optional(key);
  if (!optional.empty()) sql += optional + " AND ";
  for (size_t i = 0; i < terms.size(); ++i) {
    sql += terms[i].column + " = ?" + std::to_string(i + 1) + terms[i].collate + " AND ";
  }
  return sql + "_pos <> ?" + std::to_string(terms.size() + 1) + " LIMIT 1";
}

const std::string& TableSql::Insert() const {
  if (!insert_.empty()) return insert_;
  size_t count = declaration_.layout->fields().size();
  std::string sql = "INSERT INTO " + Qualified() + "(";
  std::string values;
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) sql += ", ", values += ", ";
    sql += QuoteName(codec_.ColumnName(static_cast<int>(i)));
    values += "?" + std::to_string(i + 1);
  }
  insert_ = sql + ", _version) VALUES(" + values + ", 1)";
  return insert_;
}

std::string TableSql::Update() const {
  size_t count = declaration_.layout->fields().size();
  std::string sql = "UPDATE " + Qualified() + " SET ";
  for (size_t i = 0; i < count; ++i) {
    sql +=
        QuoteName(codec_.ColumnName(static_cast<int>(i))) + " = ?" + std::to_string(i + 1) + ", ";
  }
  return sql + "_version = _version + 1 WHERE _pos = ?" + std::to_string(count + 1) +
         " AND _version = ?" + std::to_string(count + 2);
}

std::string TableSql::Delete() const {
  return "DELETE FROM " + Qualified() + " WHERE _pos = ?1 AND _version = ?2";
}

std::string TableSql::Exists() const {
  return "SELECT _version FROM " + Qualified() + " WHERE _pos = ?1";
}

std::string TableSql::Count() const { return "SELECT count(*) FROM " + Qualified(); }

}  // namespace ledora::runtime
