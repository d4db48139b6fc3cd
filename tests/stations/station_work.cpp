#include "tests/stations/station_work.h"

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "app/data_jobs.h"
#include "app/invoicing_dictionary.h"
#include "app/program.h"
#include "app/storage_choice.h"
#include "app/update_invoice_lines.h"
#include "app/update_invoices.h"
#include "data/thread_number.h"
#include "framework/procedure_frame.h"
#include "runtime/system/halt.h"
#include "runtime/system/message_service.h"
#include "runtime/system/runtime_error.h"
#include "runtime/values/decimal.h"
#include "runtime/window/headless_driver.h"
#include "runtime/window/headless_presenter.h"
#include "runtime/window/scheduler.h"

namespace ledora::testing {
namespace {

using app::INV;
using app::INVL;

constexpr int kCouldNotStart = 2;
constexpr int kHalted = 3;

// Chooses the place as a station started there would find it.
void Enter(const StationPlace& place) {
  if (place.url.empty()) {
    unsetenv(app::kDatabaseVariable);
    std::filesystem::current_path(place.folder);
  } else {
    setenv(app::kDatabaseVariable, place.url.c_str(), 1);
  }
}

// Runs f with the place chosen, and the caller's folder and choice back after.
template <typename F>
auto AtPlace(const StationPlace& place, F f) {
  std::filesystem::path previous = std::filesystem::current_path();
  const char* chosen = getenv(app::kDatabaseVariable);
  std::string before = chosen != nullptr ? chosen : "";
  Enter(place);
  auto result = f();
  std::filesystem::current_path(previous);
  if (chosen != nullptr) {
    setenv(app::kDatabaseVariable, before.c_str(), 1);
  } else {
    unsetenv(app::kDatabaseVariable);
  }
  return result;
}

bool Import(const std::string& file, const std::string& csv, std::string* messages) {
  char name[] = "/tmp/ledora-station-XXXXXX";
  int fd = mkstemp(name);
  if (fd < 0) return false;
  close(fd);
  std::ofstream(name, std::ios::binary) << csv;
  std::ostringstream out;
  bool done = app::ImportJob({file, name}, out) == app::JobDone;
  unlink(name);
  *messages = out.str();
  return done;
}

// Every box a station meets is noted; only "Confirm Delete" is expected.
class NotedMessages : public runtime::MessageService {
 public:
  explicit NotedMessages(std::ostream& log) : log_(log) {}
  uint32_t Show(const runtime::MessageRequest& request) override {
    if (request.caption == "Confirm Delete") return runtime::ButtonYes;
    std::string text = request.text;
    std::replace(text.begin(), text.end(), '\n', ' ');
    log_ << "M " << request.caption << ": " << text << std::endl;
    return runtime::UnattendedAnswer(request);
  }

 private:
  std::ostream& log_;
};

// A station at the invoice form, as a user who types fast.
class FormWork {
 public:
  // Reads end whenever the station waits for its user, as in the program.
  FormWork(runtime::StorageDriver& storage, std::ostream& log, unsigned seed)
      : log_(log), random_(seed) {
    scheduler_.SetIdleHandler([&storage] { storage.EndReads(); });
  }
  ~FormWork() { scheduler_.SetIdleHandler(nullptr); }

  // One invoice of 1-5 lines saved through the form; false when the form
  // did not behave (noted in the log).
  bool SaveInvoice() {
    bool ended = false;
    // As the invoices list does before it calls the form.
    if (app::Access_INVOICES->PrimeRecord() != 0) return Fault("no number for an invoice");
    framework::PendingRequest = framework::RequestInsert;
    driver_.Start([&ended] {
      app::UpdateInvoices();
      ended = true;
    });
    runtime::Window* form = driver_.Top();
    if (form == nullptr || ended) return Fault("the invoice form did not open");
    driver_.Type(*form, app::InvoiceCustomerEntry, std::to_string(1 + random_() % 5));
    int lines = 1 + static_cast<int>(random_() % 5);
    int64_t cents = 0;
    for (int i = 0; i < lines; ++i) {
      driver_.Press(*form, app::InvoiceLineInsert);
      runtime::Window* line = driver_.Top();
      if (line == nullptr || line == form) return Fault("the line form did not open");
      int quantity = 1 + static_cast<int>(random_() % 9);
      int price = 1 + static_cast<int>(random_() % 9999);
      driver_.Type(*line, app::LineItemNrEntry, std::to_string(1 + random_() % 5));
      driver_.Type(*line, app::LineQuantityEntry, std::to_string(quantity));
      driver_.Type(*line, app::LinePriceEntry,
                   std::to_string(price / 100) + "." + std::to_string(price % 100 / 10) +
                       std::to_string(price % 10));
      driver_.Press(*line, app::FormOk);
      if (driver_.Top() != form) return Fault("a line was not saved");
      cents += int64_t{quantity} * price;
    }
    driver_.Press(*form, app::FormOk);
    if (!ended) return Fault("the invoice was not saved");
    // The record buffer holds the invoice as saved.
    int32_t number = INV.NUMBER;
    log_ << "I " << number << ' ' << lines << ' ' << cents << std::endl;
    saved_.push_back(number);
    return true;
  }

  // Deletes one of this station's invoices with its lines.
  bool DeleteOne() {
    if (saved_.empty()) return true;
    size_t at = random_() % saved_.size();
    int32_t number = saved_[at];
    saved_.erase(saved_.begin() + static_cast<long>(at));
    for (;;) {
      app::Access_INVOICEL->ClearRecord();
      INVL.INVOICENR = number;
      if (app::Access_INVOICEL->SetOnKey(app::InvoiceLineRecord::LINENRKEY) != 0) break;
      if (app::Access_INVOICEL->NextQuietly() != 0 || INVL.INVOICENR != number) break;
      if (app::Relate_INVOICEL->Delete(false) != 0) return Fault("a line was not deleted");
    }
    INV.NUMBER = number;
    if (app::Access_INVOICES->FetchQuietly(app::InvoiceRecord::NUMBERKEY) != 0 ||
        app::Relate_INVOICES->Delete(false) != 0) {
      return Fault("invoice " + std::to_string(number) + " was not deleted");
    }
    log_ << "D " << number << std::endl;
    return true;
  }

 private:
  bool Fault(const std::string& what) {
    runtime::ErrorState why = runtime::CurrentError();
    log_ << "M station: " << what << " (" << why.text << ", " << why.fileErrorText << ")"
         << std::endl;
    return false;
  }

  std::ostream& log_;
  std::minstd_rand random_;
  runtime::Scheduler scheduler_;
  runtime::HeadlessPresenter presenter_;
  runtime::HeadlessDriver driver_{scheduler_, presenter_};
  std::vector<int32_t> saved_;
};

int RunFormStation(double seconds, std::ostream& log, unsigned seed) {
  NotedMessages boxes(log);
  runtime::SetMessageService(&boxes);
  // Every procedure here counts as the one thread, as in the form tests.
  data::SetThreadNumberSource(nullptr);
  app::GlobalErrors.Initialize();
  std::unique_ptr<runtime::StorageDriver> storage = app::OpenChosenStorage(log);
  if (!storage || !app::DictionarySetup(*storage, app::GlobalErrors)) return kCouldNotStart;
  std::vector<data::RelationController*> relations = {app::Relate_CUSTOMER, app::Relate_ITEMS,
                                                      app::Relate_INVOICES, app::Relate_INVOICEL};
  for (data::RelationController* relation : relations) relation->Open();
  int code = 0;
  {
    FormWork work(*storage, log, seed);
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (int n = 1; std::chrono::steady_clock::now() < end; ++n) {
      if (!work.SaveInvoice() || (n % 4 == 0 && !work.DeleteOne())) {
        code = 1;
        break;
      }
      storage->EndReads();
    }
  }
  for (data::RelationController* relation : relations) relation->Close();
  app::DictionaryShutdown();
  app::GlobalErrors.Shutdown();
  return code;
}

int RunImportStation(double seconds, std::ostream& log, unsigned seed) {
  NotedMessages boxes(log);
  runtime::SetMessageService(&boxes);
  std::minstd_rand random(seed);
  auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) {
    std::string invoices = "INV:NUMBER,INV:CUSTOMERID,INV:INVOICEDATE\n";
    std::string customers = "CUS:CUSTOMERID,CUS:NAME\n";
    int count = 1 + static_cast<int>(random() % 10);
    for (int i = 0; i < count; ++i) {
      invoices += "," + std::to_string(1 + random() % 5) + ",2026-12-07\n";
      customers += ",Imported " + std::to_string(random() % 100000) + "\n";
    }
    std::string messages;
    for (const auto& [file, csv] : {std::pair{"INVOICES", invoices}, {"CUSTOMER", customers}}) {
      if (!Import(file, csv, &messages)) {
        std::replace(messages.begin(), messages.end(), '\n', ' ');
        log << "F " << file << ": " << messages << std::endl;
        return 1;
      }
    }
    log << "J " << count << std::endl;
  }
  return 0;
}

// What the logs say, gathered.
struct Logged {
  std::map<int32_t, std::vector<std::pair<int, int64_t>>> saved;  // lines, cents
  std::set<int32_t> deleted;
  long imported = 0;
  std::vector<std::string> faults;
};

Logged ReadLogs(const std::vector<std::string>& logs) {
  Logged logged;
  for (const std::string& path : logs) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
      std::istringstream fields(line.size() > 2 ? line.substr(2) : "");
      int32_t number = 0;
      if (line.rfind("I ", 0) == 0) {
        int lines = 0;
        int64_t cents = 0;
        fields >> number >> lines >> cents;
        logged.saved[number].push_back({lines, cents});
      } else if (line.rfind("D ", 0) == 0) {
        fields >> number;
        logged.deleted.insert(number);
      } else if (line.rfind("J ", 0) == 0) {
        long count = 0;
        fields >> count;
        logged.imported += count;
      } else if (!line.empty() && line[0] != '#') {
        logged.faults.push_back(path + ": " + line);
      }
    }
  }
  return logged;
}

struct Stored {
  std::vector<int32_t> byNumber;
  std::multiset<int32_t> byCustomer;
  std::map<int32_t, std::vector<std::pair<int32_t, int64_t>>> lines;  // line number, cents
};

int64_t Cents(const uint8_t* packed) {
  return static_cast<int64_t>(runtime::UnpackDecimal(packed, 5, 2).Rescaled(2).units());
}

bool ReadStored(Stored* stored) {
  data::ErrorReporter errors;
  errors.Initialize();
  std::unique_ptr<runtime::StorageDriver> storage = app::OpenChosenStorage(std::cerr);
  bool read = storage && app::DictionarySetup(*storage, errors);
  if (read) {
    data::FileManager& invoices = *app::Access_INVOICES;
    invoices.Open();
    read = invoices.MakeUsable() == 0;
    for (int key : {app::InvoiceRecord::NUMBERKEY, app::InvoiceRecord::CUSTOMERKEY}) {
      if (!read || invoices.CurrentFile().SetOrder(key) != 0) break;
      while (invoices.NextQuietly() == 0) {
        if (key == app::InvoiceRecord::NUMBERKEY) stored->byNumber.push_back(INV.NUMBER);
        if (key != app::InvoiceRecord::NUMBERKEY) stored->byCustomer.insert(INV.NUMBER);
      }
    }
    invoices.Close();
    data::FileManager& lines = *app::Access_INVOICEL;
    lines.Open();
    read = read && lines.MakeUsable() == 0 &&
           lines.CurrentFile().SetOrder(app::InvoiceLineRecord::LINENRKEY) == 0;
    while (read && lines.NextQuietly() == 0) {
      stored->lines[INVL.INVOICENR].push_back({INVL.LINENR, INVL.QUANTITY * Cents(INVL.PRICE)});
    }
    lines.Close();
    app::DictionaryShutdown();
  }
  errors.Shutdown();
  return read;
}

void CheckInvoice(int32_t number, const Stored& stored, const Logged& logged,
                  std::vector<std::string>* faults) {
  auto found = stored.lines.find(number);
  std::vector<std::pair<int32_t, int64_t>> none;
  const auto& lines = found != stored.lines.end() ? found->second : none;
  int64_t cents = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].first != static_cast<int32_t>(i + 1)) {
      faults->push_back("invoice " + std::to_string(number) + ": lines not numbered 1..n");
    }
    cents += lines[i].second;
  }
  auto saved = logged.saved.find(number);
  if (saved == logged.saved.end()) {
    if (!lines.empty())
      faults->push_back("imported invoice " + std::to_string(number) + " has lines");
    return;
  }
  std::pair<int, int64_t> wanted{static_cast<int>(lines.size()), cents};
  if (std::find(saved->second.begin(), saved->second.end(), wanted) == saved->second.end()) {
    faults->push_back("invoice " + std::to_string(number) + ": " + std::to_string(lines.size()) +
                      " lines of " + std::to_string(cents) + " cents, not as entered");
  }
}

}  // namespace

bool PrepareStations(const StationPlace& place) {
  return AtPlace(place, [] {
    std::string messages;
    return Import("CUSTOMER", "CUS:CUSTOMERID,CUS:NAME\n1,A\n2,B\n3,C\n4,D\n5,E\n", &messages) &&
           Import("ITEMS",
                  "ITE:ITEMNR,ITE:DESCRIPTION,ITE:PRICE\n1,a,1\n2,b,2\n3,c,3\n4,d,4\n5,e,5\n",
                  &messages);
  });
}

int RunStation(const StationPlace& place, StationRole role, double seconds, const std::string& log,
               unsigned seed) {
  runtime::SetHaltHandler([](int, std::string_view) { _exit(kHalted); });
  Enter(place);
  std::ofstream out(log, std::ios::app);
  return role == FormStation ? RunFormStation(seconds, out, seed)
                             : RunImportStation(seconds, out, seed);
}

std::vector<int> RunStations(const StationPlace& place, const std::vector<StationRole>& roles,
                             double seconds, const std::vector<std::string>& logs) {
  std::vector<pid_t> children;
  for (size_t i = 0; i < roles.size(); ++i) {
    std::cout.flush();
    pid_t child = fork();
    if (child == 0) _exit(RunStation(place, roles[i], seconds, logs[i], 7919 * (i + 1)));
    children.push_back(child);
  }
  std::vector<int> codes;
  for (pid_t child : children) {
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) status = -1;
    codes.push_back(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  }
  return codes;
}

StationsOutcome CheckStations(const StationPlace& place, const std::vector<std::string>& logs) {
  StationsOutcome outcome;
  Logged logged = ReadLogs(logs);
  outcome.faults = logged.faults;
  outcome.imported = logged.imported;
  outcome.deleted = static_cast<long>(logged.deleted.size());
  for (const auto& [number, versions] : logged.saved)
    outcome.saved += static_cast<long>(versions.size());
  Stored stored;
  if (!AtPlace(place, [&] { return ReadStored(&stored); })) {
    outcome.faults.push_back("the data could not be read");
    return outcome;
  }
  outcome.invoices = static_cast<long>(stored.byNumber.size());
  std::multiset<int32_t> byNumber(stored.byNumber.begin(), stored.byNumber.end());
  if (byNumber != stored.byCustomer) {
    outcome.faults.push_back("the number and customer orders hold different invoices");
  }
  std::set<int32_t> numbers(stored.byNumber.begin(), stored.byNumber.end());
  if (numbers.size() != stored.byNumber.size()) outcome.faults.push_back("a number given twice");
  std::set<int32_t> used = numbers;
  used.insert(logged.deleted.begin(), logged.deleted.end());
  int32_t expected = 1;
  for (int32_t number : used) {
    if (number != expected++) {
      outcome.faults.push_back("number " + std::to_string(expected - 1) + " was never given");
      break;
    }
  }
  for (int32_t number : numbers) CheckInvoice(number, stored, logged, &outcome.faults);
  for (const auto& [number, lines] : stored.lines) {
    if (numbers.count(number) == 0) {
      outcome.faults.push_back("lines of invoice " + std::to_string(number) + " without it");
    }
  }
  return outcome;
}

}  // namespace ledora::testing
