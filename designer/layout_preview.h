// How the designer's "Preview" prints the layout being edited: the
// application hands the window a procedure that runs the report procedure
// of the layout's type on the layout's content records, held in memory, so
// that unsaved edits print without being stored.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "layout/design_records.h"

namespace ledora::designer {

using LayoutPreview = std::function<void(const std::string& typeName,
                                         const std::vector<layout::ContentRecord>& content)>;

}  // namespace ledora::designer
