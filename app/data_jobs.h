// The command-line jobs for users and scripts: export the records of an
// invoicing file as CSV in the order of a key, and import CSV records into
// a file through its file manager, all or nothing; and set every invoice's
// total from its lines. main dispatches the "export", "import", "demo" and
// "recalculate-totals" sub-commands here; each works on the invoicing files
// of the current folder.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "app/job.h"

namespace ledora::app {

// args: what follows "export": FILE [--key DESCRIPTION] [--filter EXPRESSION]
// [--csv OUT]. Without --csv the CSV goes to out. Messages go to messages.
int ExportJob(const std::vector<std::string>& args, std::ostream& out, std::ostream& messages);
// args: what follows "import": FILE CSV.
int ImportJob(const std::vector<std::string>& args, std::ostream& messages);
// args: what follows "recalculate-totals" (nothing). Sets every invoice's
// total to the sum of its lines, all in one transaction, and says how many
// changed.
int RecalculateTotalsJob(const std::vector<std::string>& args, std::ostream& messages);
// args: what follows "demo" (nothing). Fills the invoicing files with sample
// data when all are empty; a folder that holds data is refused untouched.
int DemoJob(const std::vector<std::string>& args, std::ostream& messages);

}  // namespace ledora::app
