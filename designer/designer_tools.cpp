#include "designer/designer_tools.h"

#include "designer/paper_formats.h"

namespace ledora::designer {

DesignerTools MakeDesignerTools(layout::DesignDatabase& designs) {
  DesignerTools tools;
  tools.paperFormats = [&designs] { StartPaperFormats(designs); };
  return tools;
}

}  // namespace ledora::designer
