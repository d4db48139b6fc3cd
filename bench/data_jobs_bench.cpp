// The program's import and export jobs on 10,000 and 1,000,000 customers,
// run as scripts run them (the built ledora in a process of its own), against
// the sqlite3 shell importing the same CSV into a table with the same indexes
// and exporting it in the same order. Prints the time ratios and each run's
// peak memory, which must stay flat as the record count grows.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_items.h"
#include "bench/ratio_reporter.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

const char kHeader[] =
    "CUS:CUSTOMERID,CUS:NAME,CUS:ADDRESS1,CUS:ADDRESS2,CUS:TELEFON,CUS:TELEFAX\n";

// The shell's side: the table and keys the program makes for CUSTOMER.
const char kRawSchema[] =
    "CREATE TABLE CUSTOMER(CUSTOMERID INTEGER, NAME CHAR(35), ADDRESS1 CHAR(30), "
    "ADDRESS2 CHAR(30), TELEFON CHAR(20), TELEFAX CHAR(30));\n"
    "CREATE UNIQUE INDEX CUSTOMER_IDKEY ON CUSTOMER(CUSTOMERID) WHERE CUSTOMERID <> 0;\n"
    "CREATE INDEX CUSTOMER_NAMEADDRESSKEY ON CUSTOMER(NAME COLLATE NOCASE, ADDRESS1 COLLATE "
    "NOCASE, ADDRESS2 COLLATE NOCASE) WHERE NAME <> '' OR ADDRESS1 <> '' OR ADDRESS2 <> '';\n";

const char kRawExport[] =
    "SELECT CUSTOMERID, NAME, ADDRESS1, ADDRESS2, TELEFON, TELEFAX FROM CUSTOMER "
    "WHERE CUSTOMERID <> 0 ORDER BY CUSTOMERID";

struct Outcome {
  double seconds = 0;
  double cpuSeconds = 0;  // user and system: steadier than the wall clock on a busy machine
  double peakMiB = 0;
  bool ok = false;
};

// Runs argv with standard input and output from and to the given files, its
// messages dropped.
Outcome Run(std::vector<std::string> argv, const std::string& in, const std::string& out) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<char*> args;
  for (std::string& arg : argv) args.push_back(arg.data());
  args.push_back(nullptr);
  Outcome outcome;
  auto start = std::chrono::steady_clock::now();
  pid_t pid;
  int status = 0;
  struct rusage usage {};
  if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) == 0 &&
      wait4(pid, &status, 0, &usage) == pid) {
    outcome.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  outcome.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024;
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  outcome.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  posix_spawn_file_actions_destroy(&actions);
  return outcome;
}

std::string Program() {
  return (fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "ledora").string();
}

// A CSV of count customers and a data folder holding them, made once per count.
struct Customers {
  explicit Customers(int count)
      : csv(folder.path() + "/customers.csv"), data(folder.path() + "/data") {
    std::ofstream out(csv, std::ios::binary);
    out << kHeader;
    for (int i = 1; i <= count; ++i) {
      out << i << ",Customer " << (i * 7919L) % count << ',' << i % 500 << " High Street,Town "
          << i % 97 << ",+41 1 " << 1000000 + i << ",\n";
    }
    out.close();
    fs::create_directory(data);
    Run({Program(), "--data", data, "import", "CUSTOMER", csv}, "/dev/null", "/dev/null");
  }
  ledora::bench::BenchFolder folder;
  std::string csv;
  std::string data;
};

Customers& Shared(int count) {
  static std::map<int, std::unique_ptr<Customers>> made;
  std::unique_ptr<Customers>& customers = made[count];
  if (!customers) customers = std::make_unique<Customers>(count);
  return *customers;
}

void Measure(benchmark::State& state, const std::function<Outcome()>& run,
             const std::function<void()>& before = {}) {
  double peak = 0;
  double cpu = 0;
  for (auto _ : state) {
    if (before) before();
    Outcome outcome = run();
    if (!outcome.ok) state.SkipWithError("the job failed");
    state.SetIterationTime(outcome.seconds);
    peak = std::max(peak, outcome.peakMiB);
    cpu += outcome.cpuSeconds;
  }
  state.counters["peak_MiB"] = peak;
  state.counters["cpu_s"] = cpu / static_cast<double>(state.iterations());
  state.SetItemsProcessed(state.iterations() * std::max<int64_t>(state.range(0), 1));
}

void BM_LedoraImport(benchmark::State& state) {
  Customers& c = Shared(static_cast<int>(state.range(0)));
  std::string target = c.folder.path() + "/import";
  Measure(
      state,
      [&] {
        return Run({Program(), "--data", target, "import", "CUSTOMER", c.csv}, "/dev/null",
                   "/dev/null");
      },
      [&] {
        fs::remove_all(target);
        fs::create_directory(target);
      });
}

void BM_SqliteImport(benchmark::State& state) {
  Customers& c = Shared(static_cast<int>(state.range(0)));
  std::string db = c.folder.path() + "/raw.db";
  std::string script = c.folder.path() + "/import.sql";
  std::ofstream(script) << kRawSchema << ".import --csv --skip 1 " << c.csv << " CUSTOMER\n";
  Measure(
      state,
      [&] {
        return Run({"sqlite3", db}, script, "/dev/null");
      },
      [&] { fs::remove(db); });
}

void BM_LedoraExport(benchmark::State& state) {
  Customers& c = Shared(static_cast<int>(state.range(0)));
  std::string out = c.folder.path() + "/out.csv";
  Measure(state, [&] {
    return Run({Program(), "--data", c.data, "export", "CUSTOMER", "--csv", out}, "/dev/null",
               "/dev/null");
  });
}

void BM_SqliteExport(benchmark::State& state) {
  Customers& c = Shared(static_cast<int>(state.range(0)));
  std::string out = c.folder.path() + "/raw.csv";
  Measure(state, [&] {
    return Run({"sqlite3", "-readonly", "-csv", "-header", c.data + "/CUSTOMER.KDS", kRawExport},
               "/dev/null", out);
  });
}

// What every run pays before its first record: loading the program.
void BM_LedoraStart(benchmark::State& state) {
  Measure(state, [] { return Run({Program(), "--version"}, "/dev/null", "/dev/null"); });
}
BENCHMARK(BM_LedoraStart)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_SqliteStart(benchmark::State& state) {
  Measure(state, [] { return Run({"sqlite3", "--version"}, "/dev/null", "/dev/null"); });
}
BENCHMARK(BM_SqliteStart)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void Sizes(benchmark::internal::Benchmark* b) {
  b->Arg(10000)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
}
BENCHMARK(BM_LedoraImport)->Apply(Sizes);
BENCHMARK(BM_SqliteImport)->Apply(Sizes);
BENCHMARK(BM_LedoraExport)->Apply(Sizes);
BENCHMARK(BM_SqliteExport)->Apply(Sizes);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  ledora::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nPeak memory (MiB) of each run:\n");
  reporter.PrintCounter("peak_MiB");
  std::printf("\nPeak memory at 1,000,000 records relative to 10,000 (aim: at most 1.5x):\n");
  for (const char* job : {"BM_LedoraImport", "BM_LedoraExport"}) {
    std::string run = std::string(job) + "/";
    reporter.PrintCounterRatio("peak_MiB", run + "1000000/iterations:3/manual_time",
                               run + "10000/iterations:3/manual_time");
  }
  std::printf("\nTime per record relative to the sqlite3 shell (aim: at most 1.3x):\n");
  for (const char* job : {"Import", "Export"}) {
    for (const char* size : {"10000", "1000000"}) {
      std::string suffix = std::string(job) + "/" + size + "/iterations:3/manual_time";
      reporter.PrintRatio("BM_Ledora" + suffix, "BM_Sqlite" + suffix);
    }
  }
  std::printf("\nProcessor time (user and system) relative to the sqlite3 shell:\n");
  for (const char* job : {"Import", "Export"}) {
    for (const char* size : {"10000", "1000000"}) {
      std::string suffix = std::string(job) + "/" + size + "/iterations:3/manual_time";
      reporter.PrintCounterRatio("cpu_s", "BM_Ledora" + suffix, "BM_Sqlite" + suffix);
    }
  }
  std::printf("\nStart-up against the sqlite3 shell (aim: at most 2x), wall and processor time:\n");
  reporter.PrintRatio("BM_LedoraStart/0/iterations:10/manual_time",
                      "BM_SqliteStart/0/iterations:10/manual_time");
  reporter.PrintCounterRatio("cpu_s", "BM_LedoraStart/0/iterations:10/manual_time",
                             "BM_SqliteStart/0/iterations:10/manual_time");
  benchmark::Shutdown();
  return 0;
}
