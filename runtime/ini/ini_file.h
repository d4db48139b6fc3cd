// Reading and writing INI files on disk, by the names the program writes
// (letter case ignored, ".\name" for the current folder). A change re-reads
// the file under a lock that other processes see, changes its lines and
// replaces the file in one step, so neither a crash nor a second station's
// change is lost. Used by the settings store and the designer's INI settings.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/ini/ini_document.h"

namespace ledora::runtime {

enum IniResult : uint8_t {
  IniOk = 0,
  IniFileMissing,  // reads as an empty file
  IniReadFailed,   // exists but cannot be read: never written over
  IniWriteFailed,  // the file on disk is unchanged
  IniInvalidText,  // a name or value that cannot stand on one line
};

// The whole file as it is on disk; a missing file reads as empty.
IniResult ReadFileBytes(std::string_view fileName, std::string* bytes);
// A missing file yields an empty document and IniFileMissing.
IniResult ReadIniFile(std::string_view fileName, IniDocument* document);
// Writes a temporary file beside the target, then renames it over the target.
IniResult WriteIniFile(std::string_view fileName, const IniDocument& document);
// Reads the file, applies change and writes the result, all under the file's
// lock, so a change made meanwhile by another station is kept. A change that
// answers false leaves the file untouched (IniInvalidText). The change must
// not write INI files itself.
IniResult UpdateIniFile(std::string_view fileName,
                        const std::function<bool(IniDocument& document)>& change);

std::optional<std::string> ReadIniValue(std::string_view fileName, std::string_view section,
                                        std::string_view key);
// Creates the file when it is missing.
IniResult WriteIniValue(std::string_view fileName, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace ledora::runtime
