// Files the program finds from its own place, whatever the prefix it was
// installed into: the user guide, and the full program beside `ledora`.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>

namespace ledora::app {

// The first of places that exists, each taken from the running program's
// folder (an absolute place as it is); empty when none does.
std::string FindFromProgram(std::initializer_list<std::filesystem::path> places);

}  // namespace ledora::app
