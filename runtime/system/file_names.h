// File names as the system writes them: letter case does not matter
// ("RPTDES1.KDS" and "RptDes1.KDS" are one file) and Windows separators are
// accepted (".\qrptdes.ini" is the current folder's). Every runtime layer
// that opens a file by a name from the program or the user goes through here.
#pragma once

#include <string>
#include <string_view>

namespace ledora::runtime {

// The path of an existing file or folder that matches name without regard to
// case; where nothing matches, the name as written (with '/' separators), so
// that a new file gets the name the program gave it.
std::string ResolveFileName(std::string_view name);

bool FileExists(std::string_view name);  // after resolving

}  // namespace ledora::runtime
