#include "runtime/storage/record_codec.h"

#include <cmath>
#include <cstring>

#include "runtime/storage/storage_name.h"
#include "runtime/values/decimal.h"

namespace ledora::runtime {

namespace {

template <typename T>
T Load(const char* data) {
  T value;
  memcpy(&value, data, sizeof value);
  return value;
}

template <typename T>
void Store(char* data, T value) {
  memcpy(data, &value, sizeof value);
}

// NaN loses its payload and -0 its sign as an SQLite REAL.
bool RealSurvives(double value) {
  return !std::isnan(value) && !(value == 0 && std::signbit(value));
}

}  // namespace

int64_t LoadInteger(const char* data, FieldType type) {
  switch (type) {
    case FieldByte:
      return Load<uint8_t>(data);
    case FieldShort:
      return Load<int16_t>(data);
    case FieldUShort:
      return Load<uint16_t>(data);
    case FieldULong:
      return Load<uint32_t>(data);
    default:
      return Load<int32_t>(data);
  }
}

void StoreInteger(char* data, FieldType type, int64_t value) {
  switch (type) {
    case FieldByte:
      Store(data, static_cast<uint8_t>(value));
      break;
    case FieldShort:
      Store(data, static_cast<int16_t>(value));
      break;
    case FieldUShort:
      Store(data, static_cast<uint16_t>(value));
      break;
    case FieldULong:
      Store(data, static_cast<uint32_t>(value));
      break;
    default:
      Store(data, static_cast<int32_t>(value));
      break;
  }
}

std::string RecordCodec::ColumnType(int field) const {
  const FieldDescriptor& f = layout_.fields()[field];
  switch (f.type) {
    case FieldByte:
      return "TINYINT";
    case FieldShort:
      return "SMALLINT";
    case FieldUShort:
      return "UNSIGNED SMALLINT";
    case FieldLong:
      return "INTEGER";
    case FieldULong:
      return "UNSIGNED INTEGER";
    case FieldDate:
      return "DATEINT";
    case FieldTime:
      return "TIMEINT";
    case FieldReal:
      return "REAL";
    case FieldDecimal:
      return "DECIMAL(" + std::to_string(f.size) + "," + std::to_string(f.places) + ")";
    case FieldString:
      return "CHAR(" + std::to_string(f.size) + ")";
    default:
      return "";
  }
}

std::string RecordCodec::ColumnName(int field) const {
  return LabelName(layout_.fields()[field].label);
}

int RecordCodec::Bind(sqlite3_stmt* statement, int index, const char* record, int field) const {
  const FieldDescriptor& f = layout_.fields()[field];
  const char* data = record + f.offset;
  switch (f.type) {
    case FieldString: {
      // Stored clipped, so that comparisons ignore trailing blanks as the
      // runtime's do; reading pads them back.
      size_t length = f.size;
      while (length > 0 && data[length - 1] == ' ') --length;
      return sqlite3_bind_text(statement, index, data, static_cast<int>(length), SQLITE_TRANSIENT);
    }
    case FieldReal: {
      double value = Load<double>(data);
      if (RealSurvives(value)) return sqlite3_bind_double(statement, index, value);
      return sqlite3_bind_blob(statement, index, data, 8, SQLITE_TRANSIENT);
    }
    case FieldDecimal:
      return BindDecimal(statement, index, data, f);
    default:
      return sqlite3_bind_int64(statement, index, LoadInteger(data, f.type));
  }
}

int RecordCodec::BindDecimal(sqlite3_stmt* statement, int index, const char* data,
                             const FieldDescriptor& field) const {
  // A REAL orders numerically; keep it only when it gives back the very
  // same packed bytes (at most 15 significant digits, a canonical packing).
  Decimal value = UnpackDecimal(data, field.size, field.places);
  double real = value.ToDouble();
  char repacked[16] = {};
  if (PackDecimal(Decimal::FromDouble(real, field.places), repacked, field.size, field.places) &&
      memcmp(repacked, data, field.size) == 0 && RealSurvives(real)) {
    return sqlite3_bind_double(statement, index, real);
  }
  return sqlite3_bind_blob(statement, index, data, static_cast<int>(field.size), SQLITE_TRANSIENT);
}

// Reads through each column's value: a column call takes the connection's
// lock, a value call does not, and this runs for every field of every row.
void RecordCodec::Read(sqlite3_stmt* statement, int firstColumn, char* record) const {
  const auto& fields = layout_.fields();
  for (size_t i = 0; i < fields.size(); ++i) {
    const FieldDescriptor& f = fields[i];
    char* data = record + f.offset;
    sqlite3_value* value = sqlite3_column_value(statement, firstColumn + static_cast<int>(i));
    int type = sqlite3_value_type(value);
    switch (f.type) {
      case FieldString: {
        const void* text =
            type == SQLITE_BLOB ? sqlite3_value_blob(value) : sqlite3_value_text(value);
        size_t length = static_cast<size_t>(sqlite3_value_bytes(value));
        if (length > f.size) length = f.size;
        if (length > 0) memcpy(data, text, length);
        memset(data + length, ' ', f.size - length);
        break;
      }
      case FieldReal:
        if (type == SQLITE_BLOB && sqlite3_value_bytes(value) == 8) {
          memcpy(data, sqlite3_value_blob(value), 8);
        } else {
          Store(data, sqlite3_value_double(value));
        }
        break;
      case FieldDecimal:
        ReadDecimal(value, data, f);
        break;
      default:
        StoreInteger(data, f.type, sqlite3_value_int64(value));
        break;
    }
  }
}

void RecordCodec::ReadDecimal(sqlite3_value* value, char* data,
                              const FieldDescriptor& field) const {
  if (sqlite3_value_type(value) == SQLITE_BLOB &&
      sqlite3_value_bytes(value) == static_cast<int>(field.size)) {
    memcpy(data, sqlite3_value_blob(value), field.size);
    return;
  }
  // A whole amount comes back as an INTEGER (the column's numeric affinity
  // made it one), which needs no rounding at all.
  bool packed =
      sqlite3_value_type(value) == SQLITE_INTEGER
          ? PackDecimal(Decimal(sqlite3_value_int64(value)), data, field.size, field.places)
          : PackDecimalFromDouble(sqlite3_value_double(value), data, field.size, field.places);
  if (!packed) PackDecimal(Decimal(), data, field.size, field.places);
}

}  // namespace ledora::runtime
