// What the program settles before it touches a file, for windows and jobs
// alike. main calls PrepareProcess first thing and SweepLeftovers once the
// data folder is the current folder.
#pragma once

namespace ledora::runtime {

// - Descriptors 0-2 that the caller closed are taken by /dev/null opened for
//   reading, so that no data file opened later becomes "standard output" and
//   a write there fails instead of landing somewhere.
// - SIGPIPE and SIGXFSZ are ignored: a closed pipe or a size limit becomes a
//   failed write the job reports, after its clean-up, not a silent death.
// - SIGINT, SIGTERM and SIGHUP remove the run's temporaries.
// - A TMPDIR that names no folder is replaced by the folder temporaries use.
void PrepareProcess();

// Removes what killed runs left in the current folder and the temporary
// folder.
void SweepLeftovers();

}  // namespace ledora::runtime
