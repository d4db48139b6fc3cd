// Where a list control takes its rows from: a browse's page of rows, a queue
// of choices. The window formats each cell through its column's picture when
// the list is displayed. Owned by the procedure, not by the window.
#pragma once

#include <cstdint>

#include "runtime/values/field_ref.h"

namespace ledora::runtime {

class ListSource {
 public:
  virtual ~ListSource() = default;
  virtual int32_t RowCount() const = 0;
  // Column is 0-based, row 1-based; a null address shows blank.
  virtual FieldRef Cell(int32_t row, int32_t column) const = 0;
};

}  // namespace ledora::runtime
