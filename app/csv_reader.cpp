#include "app/csv_reader.h"

#include <cstring>

namespace ledora::app {

CsvReader::CsvReader(std::istream& in, size_t maxField, size_t maxFields)
    : in_(in), maxField_(maxField), maxFields_(maxFields), buffer_(1 << 16) {}

bool CsvReader::Fill() {
  if (!in_) return false;
  in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  pos_ = 0;
  end_ = static_cast<size_t>(in_.gcount());
  if (!started_) {
    started_ = true;
    if (end_ >= 3 && std::memcmp(buffer_.data(), "\xEF\xBB\xBF", 3) == 0) pos_ = 3;
  }
  return pos_ < end_;
}

int CsvReader::Get() {
  if (pos_ >= end_ && !Fill()) return -1;
  return static_cast<unsigned char>(buffer_[pos_++]);
}

int CsvReader::Peek() {
  if (pos_ >= end_ && !Fill()) return -1;
  return static_cast<unsigned char>(buffer_[pos_]);
}

void CsvReader::Add(CsvRow* row, std::string& field, bool cut) {
  if (row->count++ < maxFields_) {
    if (row->fields.size() < row->count) row->fields.emplace_back();
    row->fields[row->count - 1].swap(field);
    row->cut.push_back(cut);
  }
  field.clear();
}

CsvReader::Result CsvReader::Next(CsvRow* row) {
  std::string field;
  for (;;) {
    // Kept strings keep their capacity from row to row.
    row->line = line_;
    row->count = 0;
    row->cut.clear();
    field.clear();
    bool quoted = false;
    bool cut = false;
    bool any = false;
    for (;;) {
      int c = Get();
      if (c < 0) {
        if (in_.bad()) return ReadError;
        if (quoted) return OpenQuote;
        if (!any && row->count == 0) return End;
        break;
      }
      any = true;
      if (quoted) {
        if (c == '"' && Peek() == '"') {
          Get();
        } else if (c == '"') {
          quoted = false;
          continue;
        } else if (c == '\n') {
          ++line_;
        }
      } else if (c == '"') {
        quoted = true;
        continue;
      } else if (c == ',') {
        Add(row, field, cut);
        cut = false;
        continue;
      } else if (c == '\n' || c == '\r') {
        if (c == '\r' && Peek() == '\n') Get();
        ++line_;
        break;
      }
      if (field.size() < maxField_) {
        field += static_cast<char>(c);
      } else {
        cut = true;
      }
    }
    Add(row, field, cut);
    row->fields.resize(std::min(row->count, row->fields.size()));
    if (!(row->count == 1 && row->fields[0].empty() && !cut)) return RowRead;
  }
}

}  // namespace ledora::app
