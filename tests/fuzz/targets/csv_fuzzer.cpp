// CSV files given to `ledora import`: every row is read or the reader says
// why not, within its limits, whatever the bytes.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "app/csv_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  // Small limits, so that cutting long values and rows is reached too.
  ledora::app::CsvReader reader(in, 16, 8);
  ledora::app::CsvRow row;
  while (reader.Next(&row) == ledora::app::CsvReader::RowRead) {
    if (row.fields.size() > 8 || row.fields.size() != row.cut.size()) __builtin_trap();
    for (const std::string& field : row.fields) {
      if (field.size() > 16) __builtin_trap();
    }
  }
  return 0;
}
