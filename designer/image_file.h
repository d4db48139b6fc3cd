// Image files chosen for image controls: a file in the current folder is
// stored by its name alone, so a design moves with its data folder; any
// other by its full path.
#pragma once

#include <string>
#include <string_view>

namespace ledora::designer {

// What an image control stores for the chosen file.
std::string ImageFileName(std::string_view chosen);

// Asks for an image file with the designer's title and masks, starting
// from current; true with the name to store in *name.
bool AskImageFile(std::string_view current, std::string* name);

}  // namespace ledora::designer
