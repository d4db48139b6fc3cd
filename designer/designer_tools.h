// The designer's tools as the program's designer window gets them: the
// property dialogs, the paper formats and the properties box.
#pragma once

#include "designer/designer_window.h"
#include "layout/design_database.h"

namespace ledora::designer {

DesignerTools MakeDesignerTools(layout::DesignDatabase& designs);

}  // namespace ledora::designer
