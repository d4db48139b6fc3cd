// The designer's choice of a band to insert: a modal list of the absent
// bands' names.
#pragma once

#include <string>
#include <string_view>

namespace ledora::designer {

// Its window is PickFromList's (designer_dialog.h). names: band names separated by "|" (at most 512
// characters). Answers the chosen name, or an empty text when cancelled.
std::string SelectBand(std::string_view names);

}  // namespace ledora::designer
