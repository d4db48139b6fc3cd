#include "layout/clear_buffer.h"

#include <cstring>

namespace ledora::layout {

void ClearBuffer(DesignTable table) {
  if (table < 0 || table >= kDesignTableCount) return;
  const runtime::RecordLayout& layout = DesignTableLayout(table);
  char* buffer = static_cast<char*>(DesignTableBuffer(table));
  std::memset(buffer, 0, layout.recordSize());
  for (const runtime::FieldDescriptor& field : layout.fields()) {
    if (field.type == runtime::FieldString) std::memset(buffer + field.offset, ' ', field.size);
  }
}

}  // namespace ledora::layout
