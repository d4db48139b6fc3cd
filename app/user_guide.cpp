#include "app/user_guide.h"

#include "app/program_place.h"

namespace ledora::app {

std::string FindUserGuide() {
  return FindFromProgram({"guide/index.html", LEDORA_INSTALLED_GUIDE, LEDORA_SOURCE_GUIDE});
}

}  // namespace ledora::app
