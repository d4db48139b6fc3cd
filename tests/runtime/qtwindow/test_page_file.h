// A one-line page image file for the page widget's tests, written the way
// the report engine writes its pages. Names no report type.
#pragma once

#include <string>

namespace ledora::testing {

// An 8.5 x 11 inch page with text at one inch from its top left; false when
// the file cannot be written.
bool WriteTestPage(const std::string& fileName, const std::string& text);

}  // namespace ledora::testing
