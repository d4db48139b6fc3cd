// Ending the program. A fatal message halts through here; tests install a
// handler that records the halt instead, so Halt may return and callers
// must carry on sensibly when it does.
#pragma once

#include <functional>
#include <string_view>

namespace ledora::runtime {

using HaltHandler = std::function<void(int exitCode, std::string_view text)>;

// Shows a non-empty text in a box captioned "Halt", then ends the process
// with exitCode, unless a handler is installed; then only the handler runs.
void Halt(int exitCode, std::string_view text);
// Empty restores the default; returns the handler it replaces.
HaltHandler SetHaltHandler(HaltHandler handler);

}  // namespace ledora::runtime
