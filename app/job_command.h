// What main knows of each command-line job: its options and operands, which
// of them name files, and its help. From that one description main checks a
// job's arguments (naming the nearest option for one it does not know),
// prints the job's usage, and makes the paths typed on the command line
// absolute from the folder the command started in, before the data folder
// becomes the current folder.
#pragma once

#include <cstdio>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ledora::app {

struct JobOption {
  std::string_view name;   // "--csv"
  std::string_view value;  // "OUT"; empty for a flag
  std::string_view help;
  bool path = false;  // the value names a file or folder
};

struct JobSpec {
  std::string_view word;
  std::string_view arguments;  // the usage line after the word
  std::string_view help;       // what the job does, a paragraph
  std::span<const JobOption> options;
  std::span<const int> pathOperands;  // operands (0 first) that name files
  int (*run)(const std::vector<std::string>& args);
};

// The candidate nearest to typed, when it is near enough to be what was
// meant; empty otherwise.
std::string_view NearestName(std::string_view typed, std::span<const std::string_view> candidates);

// "unknown WHAT TYPED" with a hint at the nearest candidate, or the list of
// them when none is near.
std::string UnknownName(std::string_view what, std::string_view typed,
                        std::span<const std::string_view> candidates);

enum JobArgsResult { JobArgsReady, JobArgsHelp, JobArgsWrong };

// Checks args against job's options and makes the values of its path options
// and path operands absolute from start. "--help" among the options asks for
// the job's help. JobArgsWrong comes with the reason in *error; a global
// option after the job word is told where it goes.
JobArgsResult PrepareJobArgs(const JobSpec& job, std::span<const std::string_view> globalOptions,
                             const std::filesystem::path& start, std::vector<std::string>* args,
                             std::string* error);

// A line per option: name, value and help.
void PrintOptions(std::span<const JobOption> options, std::FILE* to);
// "ledora [--data DIR] WORD ARGUMENTS", the job's line of the usage.
std::string JobUsageLine(const JobSpec& job);
void PrintJobHelp(const JobSpec& job, std::FILE* to);

}  // namespace ledora::app
