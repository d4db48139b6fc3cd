// The ledora program. The command line is the global options first, then
// at most one job word with the job's own arguments:
//   ledora [--data DIR] [--demo]              the windows on the data folder
//   ledora [--data DIR] JOB [ARGUMENTS...]    a headless job on the data folder
// --version and --help answer at once.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/copy_data_job.h"
#include "app/data_jobs.h"
#include "app/demo_data.h"
#include "app/print_job.h"
#include "app/program.h"
#include "app/report_jobs.h"
#include "app/storage_choice.h"
#include "app/version.h"
#include "runtime/dates/local_clock.h"
#include "runtime/qtwindow/qt_program.h"

namespace {

constexpr size_t kMainStack = 50000;

using JobArgs = std::vector<std::string>;

// The headless jobs. Each guards itself (app/job.h) and returns a JobStatus,
// which becomes the exit status.
struct Job {
  std::string_view word;
  std::string_view arguments;  // for the usage text
  int (*run)(const JobArgs& args);
};

const Job kJobs[] = {
    {"export", "FILE [--key DESCRIPTION] [--filter EXPRESSION] [--csv OUT]",
     [](const JobArgs& args) { return ledora::app::ExportJob(args, std::cout, std::cerr); }},
    {"import", "FILE CSV",
     [](const JobArgs& args) { return ledora::app::ImportJob(args, std::cerr); }},
    {"recalculate-totals", "",
     [](const JobArgs& args) { return ledora::app::RecalculateTotalsJob(args, std::cerr); }},
    {"make-new-reports", "[FILE]",
     [](const JobArgs& args) { return ledora::app::MakeNewReportsJob(args, std::cerr); }},
    {"print", "REPORT [--design NAME] [--from N] [--to N] (--pdf FILE | --printer QUEUE) | --list",
     [](const JobArgs& args) { return ledora::app::PrintCommand(args); }},
    {"copy-data", "--to URL | --from URL",
     [](const JobArgs& args) { return ledora::app::CopyDataJob(args, std::cerr); }},
};

const Job* FindJob(std::string_view word) {
  for (const Job& job : kJobs) {
    if (job.word == word) return &job;
  }
  return nullptr;
}

struct CommandLine {
  std::string data;      // empty: the current folder
  std::string database;  // empty: as the environment or ledora.INI say
  bool demo = false;
  bool version = false;
  bool help = false;
  const Job* job = nullptr;
  JobArgs jobArgs;
};

// The options before the job word. A value option sets a string of the
// command line, a flag sets a bool.
struct GlobalOption {
  std::string_view name;
  std::string_view value;  // empty for a flag
  std::string_view help;
  std::string CommandLine::*text;
  bool CommandLine::*flag;
};

const GlobalOption kOptions[] = {
    {"--data", "DIR", "use DIR as the data folder (default: the current folder)",
     &CommandLine::data, nullptr},
    {"--database", "URL", "work on a PostgreSQL database instead of the data folder's files",
     &CommandLine::database, nullptr},
    {"--demo", "", "fill an empty data folder with sample data (windows only)", nullptr,
     &CommandLine::demo},
    {"--version", "", "print the version", nullptr, &CommandLine::version},
    {"--help", "", "print this text", nullptr, &CommandLine::help},
};

// Qt's own options that take a value; they reach Qt untouched.
bool IsQtOptionWithValue(std::string_view arg) {
  for (std::string_view name :
       {"-platform", "-platformpluginpath", "-platformtheme", "-plugin", "-display", "-geometry",
        "-style", "-stylesheet", "-session", "-qwindowgeometry", "-qwindowicon", "-qwindowtitle"}) {
    if (arg == name) return true;
  }
  return false;
}

void PrintUsage(std::FILE* to) {
  std::fprintf(to,
               "ledora %s - invoicing with a run-time report designer\n\n"
               "usage: ledora [--data DIR] [--demo]\n",
               LEDORA_VERSION);
  for (const Job& job : kJobs) {
    std::fprintf(to, "       ledora [--data DIR] %.*s %.*s\n", static_cast<int>(job.word.size()),
                 job.word.data(), static_cast<int>(job.arguments.size()), job.arguments.data());
  }
  std::fprintf(to, "       ledora --version | --help\n\n");
  for (const GlobalOption& option : kOptions) {
    std::string name(option.name);
    if (!option.value.empty()) name += " " + std::string(option.value);
    std::fprintf(to, "  %-12s %.*s\n", name.c_str(), static_cast<int>(option.help.size()),
                 option.help.data());
  }
}

// false after saying what is wrong.
bool UsageError(const std::string& what) {
  std::fprintf(stderr, "ledora: %s\n\n", what.c_str());
  PrintUsage(stderr);
  return false;
}

bool ParseCommandLine(int argc, char** argv, CommandLine* line) {
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    const GlobalOption* option = nullptr;
    for (const GlobalOption& candidate : kOptions) {
      if (candidate.name == arg) option = &candidate;
    }
    if (option != nullptr && option->flag != nullptr) {
      line->*option->flag = true;
    } else if (option != nullptr) {
      if (i + 1 >= argc) return UsageError(std::string(arg) + " needs a value");
      line->*option->text = argv[++i];
    } else if (arg.starts_with("--")) {
      return UsageError("unknown option " + std::string(arg));
    } else if (arg.starts_with("-")) {
      if (IsQtOptionWithValue(arg)) ++i;
    } else if ((line->job = FindJob(arg)) != nullptr) {
      line->jobArgs.assign(argv + i + 1, argv + argc);
      break;
    } else {
      return UsageError("unknown job " + std::string(arg));
    }
  }
  if (line->job != nullptr && line->demo) return UsageError("--demo goes with the windows only");
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  CommandLine line;
  if (!ParseCommandLine(argc, argv, &line)) return ledora::app::JobUsage;
  if (line.version) {
    std::printf("ledora %s\n", LEDORA_VERSION);
    return 0;
  }
  if (line.help) {
    PrintUsage(stdout);
    return 0;
  }
  // Every file name of the application and its jobs is relative to the data folder.
  if (!line.data.empty() && chdir(line.data.c_str()) != 0) {
    std::fprintf(stderr, "ledora: cannot use %s as the data folder: %s\n", line.data.c_str(),
                 std::strerror(errno));
    return ledora::app::JobFailed;
  }
  if (!line.database.empty()) ledora::app::ChooseDatabase(line.database);
  if (line.job != nullptr) return line.job->run(line.jobArgs);
  bool demo = line.demo;
  return ledora::runtime::RunWithQt(
      argc, argv,
      [demo] {
        if (!demo) return ledora::app::MainProcedure();
        // A folder that already holds data keeps it as it is.
        ledora::app::MainProcedure(
            [](ledora::app::MainFrame&) { ledora::app::FillDemoData(ledora::runtime::Today()); });
      },
      kMainStack);
}
