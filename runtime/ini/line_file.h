// Reading a text file as a list of lines of bounded length, for readers with
// line rules of their own (the designer's text overrides). Endings ("\n" or
// "\r\n") are removed; bytes pass through unchanged otherwise.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/ini/ini_file.h"

namespace ledora::runtime {

// Each line is cut at maxLength bytes. IniFileMissing leaves lines empty.
IniResult ReadLineFile(std::string_view fileName, size_t maxLength,
                       std::vector<std::string>* lines);

}  // namespace ledora::runtime
