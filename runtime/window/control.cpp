#include "runtime/window/control.h"

namespace ledora::runtime {

bool Control::TakesInput() const {
  switch (type) {
    case ControlEntry:
    case ControlCheck:
    case ControlOption:
    case ControlCombo:
    case ControlSpin:
    case ControlText:
    case ControlDropList:
    case ControlDropCombo:
      return true;
    default:
      return false;
  }
}

}  // namespace ledora::runtime
