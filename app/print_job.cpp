#include "app/print_job.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <system_error>

#include "app/invoicing_dictionary.h"
#include "app/invoicing_report.h"
#include "app/job.h"
#include "app/main_frame.h"
#include "app/program.h"
#include "app/storage_choice.h"
#include "layout/clear_buffer.h"
#include "layout/design_database.h"
#include "runtime/qtreport/pdf_output.h"
#include "runtime/qtreport/printer_output.h"
#include "runtime/qtreport/report_renderer.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/system/runtime_error.h"
#include "runtime/values/cp1252.h"
#include "runtime/values/fixed_string.h"
#include "runtime/window/headless_driver.h"

namespace ledora::app {

namespace {

constexpr char kUsage[] =
    "usage: ledora print REPORT [--design NAME] [--from N] [--to N] (--pdf FILE | --printer "
    "QUEUE)\n"
    "       ledora print invoices [--design NAME] [--from N] [--to N] --split FOLDER\n"
    "       ledora print --list\n"
    "REPORT: customers, customers-by-name, items, invoice-list, invoices\n";

struct PrintRequest {
  InvoicingReportKind kind = ReportItems;
  std::optional<std::string> design;
  InvoiceRange range;
  bool ranged = false;
  std::string pdf;
  std::string printer;
  std::string split;  // a folder for one PDF per invoice
};

// The procedure's message boxes become lines of the job's messages; each
// takes its default answer.
class JobPresenter : public runtime::HeadlessPresenter {
 public:
  explicit JobPresenter(std::ostream& messages) : messages_(messages) {}
  uint32_t Show(const runtime::MessageRequest& request) override {
    messages_ << runtime::Cp1252ToUtf8(JobMessageText(request.text)) << '\n';
    return request.defaultButton;
  }

 private:
  std::ostream& messages_;
};

bool ParseNumber(const std::string& text, int32_t* number) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *number);
  return error == std::errc() && end == text.data() + text.size();
}

bool ParseKind(const std::string& name, InvoicingReportKind* kind) {
  static const std::map<std::string, InvoicingReportKind> kKinds = {
      {"customers", ReportCustomersById},
      {"customers-by-name", ReportCustomersByName},
      {"items", ReportItems},
      {"invoice-list", ReportInvoiceList},
      {"invoices", ReportInvoices},
  };
  auto found = kKinds.find(name);
  if (found == kKinds.end()) return false;
  *kind = found->second;
  return true;
}

// False with the reason in *error when the command line is wrong.
bool ParseRequest(const std::vector<std::string>& args, PrintRequest* request, std::string* error) {
  if (args.empty() || !ParseKind(args[0], &request->kind)) {
    *error = args.empty() ? "no report named" : "unknown report " + args[0];
    return false;
  }
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (i + 1 >= args.size()) {
      *error = option + " needs a value";
      return false;
    }
    const std::string& value = args[++i];
    if (option == "--design") {
      request->design = value;
    } else if (option == "--from" || option == "--to") {
      int32_t& bound = option == "--from" ? request->range.from : request->range.to;
      if (!ParseNumber(value, &bound)) {
        *error = option + " needs a number";
        return false;
      }
      request->ranged = true;
    } else if (option == "--pdf") {
      request->pdf = value;
    } else if (option == "--printer") {
      request->printer = value;
    } else if (option == "--split") {
      request->split = value;
    } else {
      *error = "unknown option " + option;
      return false;
    }
  }
  if (request->ranged && request->kind != ReportInvoices) {
    *error = "--from and --to are for invoices only";
    return false;
  }
  int outputs = !request->pdf.empty() + !request->printer.empty() + !request->split.empty();
  if (outputs != 1) {
    *error = "give one of --pdf FILE, --printer QUEUE or --split FOLDER";
    return false;
  }
  if (!request->split.empty() && request->kind != ReportInvoices) {
    *error = "--split is for invoices only";
    return false;
  }
  return true;
}

// The program's process-wide objects for the length of the job, as start-up
// sets them up, with the design files made when the folder has none.
class PrintSession {
 public:
  explicit PrintSession(std::ostream& messages)
      : presenter_(messages),
        driver_(scheduler_, presenter_),
        storage_(OpenChosenStorage(messages, runtime::PgSchemaMustExist)),
        designs_(storage_ ? *storage_ : unusable_) {
    GlobalErrors.Initialize();
    ready_ = storage_ != nullptr && DictionarySetup(*storage_, GlobalErrors);
    layout::SetDesigns(&designs_);
    designs_.InitializeManagers(GlobalErrors);
    designs_.BuildTableNames();
    if (ready_) MakeMissingDesignFiles(designs_);
  }
  ~PrintSession() {
    designs_.ShutdownManagers();
    layout::SetDesigns(nullptr);
    if (ready_) DictionaryShutdown();
    GlobalErrors.Shutdown();
  }
  bool ready() const { return ready_; }
  runtime::HeadlessDriver& driver() { return driver_; }
  layout::DesignDatabase& designs() { return designs_; }

 private:
  runtime::Scheduler scheduler_;
  ProcedureThreads threads_;
  JobPresenter presenter_;
  runtime::HeadlessDriver driver_;
  std::unique_ptr<runtime::StorageDriver> storage_;
  // Stands in when the chosen storage cannot be used; nothing opens on it.
  runtime::SqliteDriver unusable_;
  layout::DesignDatabase designs_;
  bool ready_ = false;
};

std::string Clipped(const char* field, size_t size) {
  return runtime::Cp1252ToUtf8(runtime::Clip(std::string_view(field, size)));
}

// The design tables a print reads, opened once, so that a damaged or
// locked design file is named with its fault rather than left for the
// report procedure to call "Report type not found".
bool DesignFilesReadable(layout::DesignDatabase& designs, std::ostream& messages) {
  const layout::DesignTable tables[] = {layout::R_Types, layout::R_Design, layout::R_Content};
  size_t used = 0;
  for (; used < std::size(tables); ++used) {
    if (!designs.Use(tables[used], false)) break;
  }
  runtime::ErrorState error = runtime::CurrentError();  // before a close clears it
  for (size_t i = 0; i < used; ++i) designs.Release(tables[i]);
  if (used == std::size(tables)) return true;
  const std::string& table = designs.TableName(tables[used]);
  messages << "ledora: cannot read the design file " << table.substr(0, table.find("\\!")) << ": "
           << error.text << " (" << error.code << ")";
  if (!error.fileErrorText.empty()) messages << ", " << error.fileErrorText;
  messages << '\n';
  return false;
}

// Every report type with its designs; "*" marks the type's default design.
int ListDesigns(layout::DesignDatabase& designs, std::ostream& out, std::ostream& messages) {
  using layout::R_D;
  using layout::R_T;
  if (!DesignFilesReadable(designs, messages)) return JobFailed;
  if (!designs.Use(layout::R_Types, false) || !designs.Use(layout::R_Design)) {
    messages << "ledora: cannot open the design files: " << runtime::CurrentError().text << '\n';
    return JobFailed;
  }
  std::vector<layout::ReportTypeRecord> types;
  layout::ClearBuffer(layout::R_Types);
  runtime::DataFile* typeFile = designs.File(layout::R_Types);
  if (typeFile->SetOnKey(layout::ReportTypeRecord::TYPENUMBERKEY) == runtime::ErrorNone) {
    while (typeFile->Next() == runtime::ErrorNone) types.push_back(R_T);
  }
  runtime::DataFile* designFile = designs.File(layout::R_Design);
  for (const layout::ReportTypeRecord& type : types) {
    out << Clipped(type.TYPENAME, sizeof type.TYPENAME) << '\n';
    layout::ClearBuffer(layout::R_Design);
    R_D.TYPENUMBER = type.TYPENUMBER;
    if (designFile->SetOnKey(layout::DesignRecord::TYPEKEY) != runtime::ErrorNone) continue;
    while (designFile->Next() == runtime::ErrorNone && R_D.TYPENUMBER == type.TYPENUMBER) {
      out << (R_D.DESIGNNUMBER == type.STANDARDDESIGN ? "  * " : "    ")
          << Clipped(R_D.DESIGNNAME, sizeof R_D.DESIGNNAME) << '\n';
    }
  }
  designs.Release(layout::R_Design);
  designs.Release(layout::R_Types);
  return JobDone;
}

// A PDF the job writes, through the output guard (see PdfOutput): it is
// moved into place only on Commit, so a failed job leaves no file behind
// (and an older file of that name as it was), and a split commits all of
// its files or none.
class PdfTarget {
 public:
  explicit PdfTarget(std::string path)
      : output_(std::move(path), runtime::PdfOutput::CommitLater) {}

  runtime::PageOutput& Output() { return output_; }
  bool Commit(std::ostream& messages) {
    if (output_.Commit()) return true;
    messages << "ledora: " << runtime::CurrentError().fileErrorText << '\n';
    return false;
  }

 private:
  runtime::PdfOutput output_;
};

// Runs the report procedure into output; true when its pages went there.
bool RunReport(PrintSession& session, const PrintRequest& request, InvoiceRange range,
               runtime::PageOutput& output, std::ostream& messages) {
  std::unique_ptr<runtime::FontMetrics> metrics = runtime::MakeRendererFontMetrics();
  ReportDestination destination;
  destination.output = &output;
  destination.preview = false;
  destination.metrics = metrics.get();
  destination.design = request.design;
  destination.askForDesign = false;
  ReportOutcome outcome;
  session.driver().Start([&] { outcome = RunInvoicingReport(request.kind, destination, range); });
  bool ended = session.driver().RunToEnd();
  if (!ended) messages << "ledora: the report did not finish\n";
  return ended && outcome.printed;
}

bool PrintInto(PdfTarget& target, PrintSession& session, const PrintRequest& request,
               InvoiceRange range, std::ostream& messages) {
  return RunReport(session, request, range, target.Output(), messages);
}

int Print(PrintSession& session, const PrintRequest& request, std::ostream& messages) {
  if (request.pdf.empty()) {
    runtime::PrinterOutput printer(request.printer);
    return RunReport(session, request, request.range, printer, messages) ? JobDone : JobFailed;
  }
  PdfTarget target(request.pdf);
  bool printed = PrintInto(target, session, request, request.range, messages);
  return printed && target.Commit(messages) ? JobDone : JobFailed;
}

// The numbers of the invoices in the range, in order.
std::vector<int32_t> InvoiceNumbers(InvoiceRange range) {
  std::vector<int32_t> numbers;
  if (Relate_INVOICES->Open() != data::SeverityNone) return numbers;
  if (Access_INVOICES->MakeUsable() == data::SeverityNone) {
    runtime::DataFile& file = Access_INVOICES->CurrentFile();
    INV = {};
    INV.NUMBER = range.from;
    if (file.SetOnKey(InvoiceRecord::NUMBERKEY) == runtime::ErrorNone) {
      while (file.Next() == runtime::ErrorNone && INV.NUMBER <= range.to) {
        numbers.push_back(INV.NUMBER);
      }
    }
  }
  Relate_INVOICES->Close();
  return numbers;
}

// One PDF per invoice, named by its number, for sending each to its
// customer: all of them or, on any failure, none.
int PrintSplit(PrintSession& session, const PrintRequest& request, std::ostream& messages) {
  std::vector<int32_t> numbers = InvoiceNumbers(request.range);
  if (numbers.empty()) {
    messages << "There are no records available to process.\n";
    return JobFailed;
  }
  std::error_code error;
  std::vector<std::unique_ptr<PdfTarget>> targets;
  bool made = std::filesystem::create_directories(request.split, error);
  if (error) {
    messages << "ledora: cannot make " << request.split << ": " << error.message() << '\n';
    return JobFailed;
  }
  // A folder made for the job goes again with it when the job fails.
  auto fail = [&] {
    targets.clear();
    if (made) std::filesystem::remove(request.split, error);
    return JobFailed;
  };
  std::vector<std::string> files;
  for (int32_t number : numbers) {
    std::filesystem::path file =
        std::filesystem::path(request.split) / (std::to_string(number) + ".pdf");
    files.push_back(file.string());
    // Found now, not after some invoices have been moved into place.
    if (std::filesystem::exists(file, error) && !std::filesystem::is_regular_file(file, error)) {
      messages << "ledora: cannot write " << file.string() << ": not a file\n";
      return fail();
    }
  }
  for (size_t i = 0; i < numbers.size(); ++i) {
    targets.push_back(std::make_unique<PdfTarget>(files[i]));
    InvoiceRange one{numbers[i], numbers[i]};
    if (!PrintInto(*targets.back(), session, request, one, messages)) return fail();
  }
  for (auto& target : targets) {
    if (!target->Commit(messages)) return fail();
  }
  return JobDone;
}

}  // namespace

int PrintJob(const std::vector<std::string>& args, std::ostream& out, std::ostream& messages) {
  bool list = args.size() == 1 && args[0] == "--list";
  PrintRequest request;
  std::string error;
  if (!list && !ParseRequest(args, &request, &error)) {
    messages << "ledora print: " << error << "\n\n" << kUsage;
    return JobUsage;
  }
  PrintSession session(messages);
  if (!session.ready()) {
    messages << "ledora: the invoicing files cannot be set up\n";
    return JobFailed;
  }
  if (list) return ListDesigns(session.designs(), out, messages);
  if (!DesignFilesReadable(session.designs(), messages)) return JobFailed;
  if (!request.split.empty()) return PrintSplit(session, request, messages);
  return Print(session, request, messages);
}

int PrintCommand(const std::vector<std::string>& args) {
  // The renderers' application takes Qt's options from a command line of its own.
  static int argc = 1;
  static char name[] = "ledora";
  static char* argv[] = {name, nullptr};
  return runtime::RunWithReportRenderer(argc, argv, [&] {
    return RunJob(std::cerr, [&] { return PrintJob(args, std::cout, std::cerr); });
  });
}

}  // namespace ledora::app
