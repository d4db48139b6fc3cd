// The ledora program. The command line is the global options first, then
// at most one job word with the job's own arguments:
//   ledora [--data DIR] [--demo]              the windows on the data folder
//   ledora [--data DIR] JOB [ARGUMENTS...]    a headless job on the data folder
// --version, --help, `help JOB` and `JOB --help` answer at once.
//
// Built three times (app/program_handover.h): as `ledora`, the jobs program,
// which links neither Qt nor libpq; with LEDORA_SERVER_JOBS as the jobs on
// a PostgreSQL database; with LEDORA_FULL_PROGRAM as the whole program with
// the windows and printing.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/copy_data_job.h"
#include "app/data_jobs.h"
#include "app/demo_data.h"
#include "app/job_command.h"
#include "app/print_job.h"
#include "app/program.h"
#include "app/program_handover.h"
#include "app/report_jobs.h"
#include "app/storage_choice.h"
#include "app/version.h"
#include "runtime/dates/local_clock.h"
#include "runtime/system/process_start.h"
#ifdef LEDORA_FULL_PROGRAM
#include "runtime/qtwindow/qt_program.h"
#endif

namespace {

constexpr size_t kMainStack = 50000;

using JobArgs = std::vector<std::string>;
using ledora::app::JobOption;
using ledora::app::JobSpec;

// A job without a run of its own here is a companion's.
using JobRun = int (*)(const JobArgs&);
#ifdef LEDORA_FULL_PROGRAM
constexpr JobRun kPrintRun = [](const JobArgs& args) { return ledora::app::PrintCommand(args); };
#else
constexpr JobRun kPrintRun = nullptr;
#endif
#if defined(LEDORA_FULL_PROGRAM) || defined(LEDORA_SERVER_JOBS)
constexpr JobRun kCopyDataRun = [](const JobArgs& args) {
  return ledora::app::CopyDataJob(args, std::cerr);
};
#else
constexpr JobRun kCopyDataRun = nullptr;
#endif

// The headless jobs. Each guards itself (app/job.h) and returns a JobStatus,
// which becomes the exit status.
constexpr JobOption kExportOptions[] = {
    {"--key", "DESCRIPTION", "the order: the key with this description (default: the first)"},
    {"--filter", "EXPRESSION", "only the records the expression selects"},
    {"--csv", "OUT", "write the CSV to OUT (default: standard output)", true},
};
constexpr int kImportPaths[] = {1};
constexpr int kNewReportsPaths[] = {0};
constexpr JobOption kPrintOptions[] = {
    {"--design", "NAME", "print this design of the report's type"},
    {"--from", "N", "invoices: the first number to print"},
    {"--to", "N", "invoices: the last number to print"},
    {"--pdf", "FILE", "write the pages to a PDF file", true},
    {"--split", "FOLDER", "invoices: one PDF file per invoice in FOLDER", true},
    {"--printer", "QUEUE", "print on the named print queue"},
    {"--list", "", "list each report type with its designs; * marks the default"},
};
constexpr JobOption kCopyDataOptions[] = {
    {"--to", "URL", "copy the data folder's data into the PostgreSQL database"},
    {"--from", "URL", "copy the database's data into this empty data folder"},
};

const JobSpec kJobs[] = {
    {"export",
     "FILE [--key DESCRIPTION] [--filter EXPRESSION] [--csv OUT]",
     "Writes the records of an invoicing file (CUSTOMER, ITEMS, INVOICES or INVOICEL)\n"
     "as CSV: UTF-8, a header of field labels, dates as ISO dates, decimals exact.",
     kExportOptions,
     {},
     [](const JobArgs& args) { return ledora::app::ExportJob(args, std::cout, std::cerr); }},
    {"import",
     "FILE CSV",
     "Adds the records of a CSV file with a header of field labels to an invoicing\n"
     "file, all or nothing; every fault is reported with its line.",
     {},
     kImportPaths,
     [](const JobArgs& args) { return ledora::app::ImportJob(args, std::cerr); }},
    {"recalculate-totals",
     "",
     "Sets every invoice's total (Sales) to the sum of its lines' prices, in one\n"
     "transaction, and says how many changed.",
     {},
     {},
     [](const JobArgs& args) { return ledora::app::RecalculateTotalsJob(args, std::cerr); }},
    {"demo",
     "",
     "Fills an empty data folder with sample customers, items and invoices; a\n"
     "folder that already holds data is left as it is.",
     {},
     {},
     [](const JobArgs& args) { return ledora::app::DemoJob(args, std::cerr); }},
    {"make-new-reports",
     "[FILE]",
     "Makes a new-reports file (default: RPTNEW1.KDS in the data folder) from the\n"
     "report definitions of this version, for the data folder of an older one.",
     {},
     kNewReportsPaths,
     [](const JobArgs& args) { return ledora::app::MakeNewReportsJob(args, std::cerr); }},
    {"print",
     "REPORT [--design NAME] [--from N] [--to N] (--pdf FILE | --printer QUEUE | --split FOLDER) | "
     "--list",
     "Prints a report without a window: customers, customers-by-name, items,\n"
     "invoice-list or invoices.",
     kPrintOptions,
     {},
     kPrintRun},
    {"copy-data",
     "--to URL | --from URL",
     "Copies the invoicing and design data between the data folder and a\n"
     "PostgreSQL database, all or nothing, never over data already there.",
     kCopyDataOptions,
     {},
     kCopyDataRun},
};

std::vector<std::string_view> JobWords() {
  std::vector<std::string_view> words;
  for (const JobSpec& job : kJobs) words.push_back(job.word);
  return words;
}

const JobSpec* FindJob(std::string_view word) {
  for (const JobSpec& job : kJobs) {
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
  const JobSpec* job = nullptr;
  const JobSpec* helpJob = nullptr;  // `ledora help JOB`
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
    {"--demo", "", "fill an empty data folder with sample data, then open the windows", nullptr,
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
               "usage: ledora [--data DIR] [--database URL] [--demo]\n",
               LEDORA_VERSION);
  for (const JobSpec& job : kJobs) {
    std::fprintf(to, "       %s\n", ledora::app::JobUsageLine(job).c_str());
  }
  std::fprintf(to, "       ledora help JOB | JOB --help\n       ledora --version | --help\n\n");
  std::vector<JobOption> options;
  for (const GlobalOption& option : kOptions) {
    options.push_back({option.name, option.value, option.help});
  }
  ledora::app::PrintOptions(options, to);
  std::fprintf(to,
               "\nFile names given to a job (CSV, PDF, folders, new-reports files) are taken\n"
               "from the folder the command was started in; the data folder keeps only its\n"
               "own files.\n");
}

// false after saying what is wrong.
bool UsageError(const std::string& what) {
  std::fprintf(stderr, "ledora: %s\n\n", what.c_str());
  PrintUsage(stderr);
  return false;
}

std::vector<std::string_view> GlobalOptionNames() {
  std::vector<std::string_view> names;
  for (const GlobalOption& option : kOptions) names.push_back(option.name);
  return names;
}

// `ledora help [JOB]`: the usage of the job, or of the program.
bool ParseHelp(int argc, char** argv, int i, CommandLine* line) {
  if (i + 1 >= argc) {
    line->help = true;
    return true;
  }
  line->helpJob = FindJob(argv[i + 1]);
  if (line->helpJob == nullptr) {
    return UsageError(ledora::app::UnknownName("job", argv[i + 1], JobWords()));
  }
  return true;
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
      return UsageError(ledora::app::UnknownName("option", arg, GlobalOptionNames()));
    } else if (arg.starts_with("-")) {
      if (IsQtOptionWithValue(arg)) ++i;
    } else if (arg == "help") {
      return ParseHelp(argc, argv, i, line);
    } else if ((line->job = FindJob(arg)) != nullptr) {
      line->jobArgs.assign(argv + i + 1, argv + argc);
      break;
    } else {
      return UsageError(ledora::app::UnknownName("job", arg, JobWords()));
    }
  }
  if (line->job != nullptr && line->demo) {
    return UsageError("--demo goes with the windows; for a job use: ledora --data DIR demo");
  }
  return true;
}

// The job's file names are taken from the folder the command started in,
// so this runs before the data folder becomes the current folder. The exit
// status when the job is not to run.
std::optional<int> PrepareJob(CommandLine* line) {
  std::error_code unknown;
  std::filesystem::path start = std::filesystem::current_path(unknown);
  std::string error;
  switch (
      ledora::app::PrepareJobArgs(*line->job, GlobalOptionNames(), start, &line->jobArgs, &error)) {
    case ledora::app::JobArgsReady:
      return std::nullopt;
    case ledora::app::JobArgsHelp:
      ledora::app::PrintJobHelp(*line->job, stdout);
      return 0;
    default:
      std::fprintf(stderr, "ledora %s: %s\nusage: %s\n(ledora help %s tells more)\n",
                   std::string(line->job->word).c_str(), error.c_str(),
                   ledora::app::JobUsageLine(*line->job).c_str(),
                   std::string(line->job->word).c_str());
      return ledora::app::JobUsage;
  }
}

#ifdef LEDORA_FULL_PROGRAM
int RunWindows(int& argc, char** argv, bool demo) {
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
#else
// The companion that runs the command line, when this program cannot:
// decided before the job's paths change and the data folder becomes the
// current folder, so that it gets the command line as it was typed.
const char* Companion(const CommandLine& line) {
  if (line.job == nullptr || line.job->word == "print") return ledora::app::kFullProgram;
#ifndef LEDORA_SERVER_JOBS
  if (line.job->run == nullptr || !line.database.empty() ||
      !ledora::app::ChosenDatabase(line.data).empty()) {
    return ledora::app::kServerJobsProgram;
  }
#endif
  return nullptr;
}
#endif

}  // namespace

int main(int argc, char** argv) {
  ledora::runtime::PrepareProcess();
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
  if (line.helpJob != nullptr) {
    ledora::app::PrintJobHelp(*line.helpJob, stdout);
    return 0;
  }
#ifndef LEDORA_FULL_PROGRAM
  if (const char* companion = Companion(line)) return ledora::app::HandOver(companion, argv);
#endif
  if (line.job != nullptr) {
    if (std::optional<int> status = PrepareJob(&line)) return *status;
  }
  // The program's own file names are relative to the data folder.
  if (!line.data.empty() && chdir(line.data.c_str()) != 0) {
    std::fprintf(stderr, "ledora: cannot use %s as the data folder: %s\n", line.data.c_str(),
                 std::strerror(errno));
    return ledora::app::JobFailed;
  }
  ledora::runtime::SweepLeftovers();
  if (!line.database.empty()) ledora::app::ChooseDatabase(line.database);
  if (line.job != nullptr) return line.job->run(line.jobArgs);
#ifdef LEDORA_FULL_PROGRAM
  return RunWindows(argc, argv, line.demo);
#else
  return ledora::app::HandOver(ledora::app::kFullProgram, argv);
#endif
}
