// What every command-line job shares: its exit status, and the guard it runs
// under so that a script always learns whether the job did its work.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>

namespace ledora::app {

enum JobStatus : int {
  JobDone = 0,
  JobFailed = 1,  // the data or the files refused the job
  JobUsage = 2,   // the command line was wrong
};

// Runs job and returns its status, except that a job during which the error
// reporter halted (a file that cannot be opened, a fatal message) failed
// whatever it returned, and an exception becomes JobFailed with its text on
// messages instead of ending the process.
int RunJob(std::ostream& messages, const std::function<int()>& job);

// A message box's text as a job prints it: without the sentences that speak
// of windows (returning to a previous one, pressing OK to end), which mean
// nothing on a command line.
std::string JobMessageText(std::string text);

}  // namespace ledora::app
