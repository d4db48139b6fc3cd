// The ledora program: with no job it opens the application's main frame on
// the data folder; --version and --help answer at once.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "app/copy_data_job.h"
#include "app/data_jobs.h"
#include "app/demo_data.h"
#include "app/program.h"
#include "app/report_jobs.h"
#include "app/storage_choice.h"
#include "app/version.h"
#include "runtime/dates/local_clock.h"
#include "runtime/qtwindow/qt_program.h"

namespace {

constexpr size_t kMainStack = 50000;

void PrintUsage() {
  std::printf(
      "ledora %s - invoicing with a run-time report designer\n"
      "\n"
      "usage: ledora [--data DIR] [--demo]\n"
      "       ledora export FILE [--key DESCRIPTION] [--filter EXPRESSION] [--csv OUT]\n"
      "       ledora import FILE CSV\n"
      "       ledora make-new-reports [FILE]\n"
      "       ledora copy-data --to URL | --from URL\n"
      "       ledora --version\n"
      "       ledora --help\n"
      "\n"
      "  --data DIR   use DIR as the data folder (default: the current folder)\n"
      "  --database URL  work on a PostgreSQL database instead of the data folder's files\n"
      "  --demo       fill an empty data folder with sample data\n",
      LEDORA_VERSION);
}

}  // namespace

int main(int argc, char** argv) {
  // Chooses the database of the windows and of every job alike.
  if (!ledora::app::TakeDatabaseOption(argc, argv, std::cerr)) return 2;
  // Headless data jobs: "ledora export ..." and "ledora import ..." in the current folder.
  if (argc > 1 && std::strcmp(argv[1], "export") == 0) {
    return ledora::app::ExportJob({argv + 2, argv + argc}, std::cout, std::cerr);
  }
  if (argc > 1 && std::strcmp(argv[1], "import") == 0) {
    return ledora::app::ImportJob({argv + 2, argv + argc}, std::cerr);
  }
  if (argc > 1 && std::strcmp(argv[1], "copy-data") == 0) {
    return ledora::app::CopyDataJob({argv + 2, argv + argc}, std::cerr);
  }
  if (argc > 1 && std::strcmp(argv[1], "make-new-reports") == 0) {
    return ledora::app::MakeNewReportsJob({argv + 2, argv + argc}, std::cerr);
  }
  const char* data = nullptr;
  bool demo = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("ledora %s\n", LEDORA_VERSION);
      return 0;
    }
    if (std::strcmp(argv[i], "--help") == 0) {
      PrintUsage();
      return 0;
    }
    if (std::strcmp(argv[i], "--data") == 0) {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "ledora: --data needs a folder\n");
        return 2;
      }
      data = argv[++i];
    } else if (std::strcmp(argv[i], "--demo") == 0) {
      demo = true;
    } else if (argv[i][0] == '-' && std::strncmp(argv[i], "-platform", 9) != 0) {
      std::fprintf(stderr, "ledora: unknown option %s\n\n", argv[i]);
      PrintUsage();
      return 2;
    }
  }
  // Every file name of the application is relative to the data folder.
  if (data != nullptr && chdir(data) != 0) {
    std::fprintf(stderr, "ledora: cannot use %s as the data folder: %s\n", data,
                 std::strerror(errno));
    return 1;
  }
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
