// The ledora program: with no arguments it will open the application on the
// data folder; sub-commands run headless jobs.
#include <cstdio>
#include <cstring>

#include "app/version.h"

namespace {

void PrintUsage() {
  std::printf(
      "ledora %s - invoicing with a run-time report designer\n"
      "\n"
      "usage: ledora [--data DIR] [--demo]\n"
      "       ledora --version\n"
      "       ledora --help\n"
      "\n"
      "  --data DIR   use DIR as the data folder (default: the current folder)\n"
      "  --demo       fill an empty data folder with sample data\n",
      LEDORA_VERSION);
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("ledora %s\n", LEDORA_VERSION);
      return 0;
    }
    if (std::strcmp(argv[i], "--help") == 0) {
      PrintUsage();
      return 0;
    }
  }
  PrintUsage();
  return 0;
}
