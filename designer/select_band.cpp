#include "designer/select_band.h"

#include "designer/designer_dialog.h"
#include "designer/designer_messages.h"

namespace ledora::designer {

std::string SelectBand(std::string_view names) {
  return PickFromList(DesignerText("CaptionSelectNewBand"), names.substr(0, 512),
                      DesignerText("TextsSelectBand"));
}

}  // namespace ledora::designer
