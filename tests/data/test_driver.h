// The storage driver of a data-layer test's station: on the engine the test
// run is for (see TestsOnPostgres), for the data set of folder.
#pragma once

#include <memory>
#include <string>

#include "runtime/storage/storage_driver.h"

namespace ledora::testing {

std::unique_ptr<runtime::StorageDriver> MakeTestDriver(const std::string& folder);

}  // namespace ledora::testing
