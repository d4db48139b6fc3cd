// Sample records in a test's data folder before the program starts on it.
#pragma once

#include <string>

#include "app/demo_data.h"

namespace ledora::testing {

// A fatal test failure when the folder cannot be filled.
void FillDemoFolder(const std::string& folder, const app::DemoSize& size);

}  // namespace ledora::testing
