// Reads the rows of a CSV file one at a time, so that an import of any size
// holds one row in memory. Quoted values may hold commas, doubled quotes and
// line breaks; a UTF-8 byte order mark at the start is skipped.
#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <vector>

namespace ledora::app {

struct CsvRow {
  int line = 0;                     // where the row starts
  size_t count = 0;                 // values in the row, also those not kept
  std::vector<std::string> fields;  // the first values, each cut at the reader's limit
  std::vector<bool> cut;            // per kept value: longer than the limit
};

class CsvReader {
 public:
  enum Result { RowRead, End, OpenQuote, ReadError };

  // A value longer than maxField is kept cut, and at most maxFields values
  // of a row are kept: no line, however long, costs more memory than that.
  explicit CsvReader(std::istream& in, size_t maxField = 4096, size_t maxFields = 1024);

  // The next row that is not empty. On OpenQuote, row->line is where the
  // unclosed value's row starts.
  Result Next(CsvRow* row);

 private:
  int Get();  // the next byte, or -1 at the end
  int Peek();
  bool Fill();
  void Add(CsvRow* row, std::string& field, bool cut);

  std::istream& in_;
  size_t maxField_;
  size_t maxFields_;
  std::vector<char> buffer_;
  size_t pos_ = 0;
  size_t end_ = 0;
  bool started_ = false;
  int line_ = 1;
};

}  // namespace ledora::app
