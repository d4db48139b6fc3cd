// Where the program's user guide (docs/guide in the sources) is: beside the
// program, where the build puts it; in the documentation folder of an
// installation (share/doc/ledora/guide); else in the source folder it was
// built from. Start-up makes it the help file.
#pragma once

#include <string>

namespace ledora::app {

// The guide's index.html, or "" when none is found.
std::string FindUserGuide();

}  // namespace ledora::app
