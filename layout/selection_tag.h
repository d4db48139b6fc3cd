// The handles drawn around a selected design item: eight resize handles and
// an outline box. The design state owns its tags; the designer's canvas
// editing gives them their numbers and behaviour.
#pragma once

#include "layout/control_geometry.h"

namespace ledora::layout {

struct SelectionTag {
  ControlGeometry* CTRL = nullptr;  // the selected item; not owned
  ControlGeometry REGIONNW;
  ControlGeometry REGIONNE;
  ControlGeometry REGIONSW;
  ControlGeometry REGIONSE;
  ControlGeometry REGIONN;
  ControlGeometry REGIONS;
  ControlGeometry REGIONE;
  ControlGeometry REGIONW;
  ControlGeometry BOXCTRL;
};

}  // namespace ledora::layout
