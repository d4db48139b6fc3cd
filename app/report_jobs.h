// The command-line job that makes a new-reports file from the report
// definitions shipped with this version, so that a data folder of an older
// version installs them through the designer's update. main dispatches the
// "make-new-reports" sub-command here.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace ledora::app {

// args: what follows "make-new-reports": [FILE], default "RPTNEW1.KDS" in
// the current folder. Returns a JobStatus; messages go to messages.
int MakeNewReportsJob(const std::vector<std::string>& args, std::ostream& messages);

}  // namespace ledora::app
