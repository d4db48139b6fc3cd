// Runs a shell command for a test and returns what it wrote to its standard
// output (pdftotext's text of a PDF, most often); empty when it could not
// start.
#pragma once

#include <string>

namespace ledora::testing {

std::string CommandOutput(const std::string& command);

}  // namespace ledora::testing
