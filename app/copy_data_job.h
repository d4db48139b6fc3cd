// `ledora copy-data --to URL` copies the data of the current data folder
// (the four invoicing files and both design files) into a PostgreSQL
// database, `ledora copy-data --from URL` back into an empty data folder:
// all or nothing, with a line per file copied, and never over data that is
// already there. Exit codes as the data jobs'.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace ledora::app {

// args: what follows "copy-data".
int CopyDataJob(const std::vector<std::string>& args, std::ostream& messages);

}  // namespace ledora::app
