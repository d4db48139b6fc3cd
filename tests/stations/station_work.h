// Stations (processes of their own) working on one data set at once, as a
// busy office does: some save invoices with lines through the invoice form,
// some import invoices and customers, and the form stations delete some of
// their own invoices. Each station notes what it did in a log of its own;
// CheckStations then compares the data with the logs. Used by the stations
// tests and the stations benchmark.
#pragma once

#include <string>
#include <vector>

namespace ledora::testing {

// A data folder of KDS files (url empty), or a PostgreSQL data set.
struct StationPlace {
  std::string folder;
  std::string url;
};

enum StationRole { FormStation, ImportStation };

// Customers 1..5 and items 1..5 for the stations to use; false on failure.
bool PrepareStations(const StationPlace& place);

// Runs one station in this process for the given seconds, noting in log:
// "I number lines cents" per invoice saved, "D number" per invoice
// deleted, "J count" per import, and "M caption: text" for a message box
// and "F text" for a failed import, which no station should meet. Its exit
// code: 0, or why it could not go on.
int RunStation(const StationPlace& place, StationRole role, double seconds, const std::string& log,
               unsigned seed);

// Forks a station per role and waits for all; their exit codes.
std::vector<int> RunStations(const StationPlace& place, const std::vector<StationRole>& roles,
                             double seconds, const std::vector<std::string>& logs);

struct StationsOutcome {
  long invoices = 0;  // in the file afterwards
  long saved = 0;     // by the form stations
  long imported = 0;  // invoices by the import stations
  long deleted = 0;
  std::vector<std::string> faults;  // empty when all is well
};

// Reads the invoices and lines and holds them against the logs: numbers
// 1..N with none twice (deleted ones aside) in both the number and the
// customer order, each saved invoice's lines 1..k with the total its
// station entered, imported ones without lines, no line without its
// invoice, and no message box or failed import in any log.
StationsOutcome CheckStations(const StationPlace& place, const std::vector<std::string>& logs);

}  // namespace ledora::testing
