#include "app/data_jobs.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <ostream>

#include "app/csv_reader.h"
#include "app/csv_values.h"
#include "app/demo_data.h"
#include "app/invoice_totals.h"
#include "app/invoicing_dictionary.h"
#include "app/job.h"
#include "app/storage_choice.h"
#include "data/view_manager.h"
#include "runtime/dates/local_clock.h"
#include "runtime/expr/expression.h"
#include "runtime/storage/storage_name.h"
#include "runtime/system/ascii_case.h"
#include "runtime/system/file_names.h"
#include "runtime/system/message_service.h"
#include "runtime/system/output_file.h"
#include "runtime/system/runtime_error.h"
#include "runtime/values/cp1252.h"

namespace ledora::app {

namespace {

using runtime::FieldDescriptor;
using runtime::FieldRef;

// Message boxes of a job become lines of its message stream, prefixed with
// the CSV line being worked on.
class JobMessages : public runtime::MessageService {
 public:
  explicit JobMessages(std::ostream& out) : out_(out), previous_(&runtime::Messages()) {
    runtime::SetMessageService(this);
  }
  ~JobMessages() override { runtime::SetMessageService(previous_); }
  uint32_t Show(const runtime::MessageRequest& request) override {
    out_ << prefix << runtime::Cp1252ToUtf8(request.caption) << ": "
         << runtime::Cp1252ToUtf8(JobMessageText(request.text)) << '\n';
    return runtime::UnattendedAnswer(request);
  }
  std::string prefix;

 private:
  std::ostream& out_;
  runtime::MessageService* previous_;
};

// The invoicing dictionary for the length of one job.
class Session {
 public:
  // The storage names its own fault when it cannot be used.
  Session(std::ostream& messages, runtime::PgSchemaUse use)
      : messages_(messages), driver_(OpenChosenStorage(messages, use)) {
    errors_.Initialize();
    ready_ = driver_ != nullptr && DictionarySetup(*driver_, errors_);
  }
  ~Session() {
    if (ready_) DictionaryShutdown();
    errors_.Shutdown();
  }
  bool ready() const { return ready_; }
  runtime::StorageDriver& driver() { return *driver_; }
  JobMessages& messages() { return messages_; }

 private:
  JobMessages messages_;
  std::unique_ptr<runtime::StorageDriver> driver_;
  data::ErrorReporter errors_;
  bool ready_ = false;
};

struct JobFile {
  data::FileManager* manager = nullptr;
  data::RelationController* relation = nullptr;
};

constexpr const char* kFileLabels[] = {"CUSTOMER", "ITEMS", "INVOICES", "INVOICEL"};

bool KnownFile(const std::string& label) {
  return std::find(std::begin(kFileLabels), std::end(kFileLabels), runtime::AsciiUpper(label)) !=
         std::end(kFileLabels);
}

// Once the dictionary is set up.
std::optional<JobFile> FindFile(const std::string& label) {
  std::string wanted = runtime::AsciiUpper(label);
  if (wanted == "CUSTOMER") return JobFile{Access_CUSTOMER, Relate_CUSTOMER};
  if (wanted == "ITEMS") return JobFile{Access_ITEMS, Relate_ITEMS};
  if (wanted == "INVOICES") return JobFile{Access_INVOICES, Relate_INVOICES};
  if (wanted == "INVOICEL") return JobFile{Access_INVOICEL, Relate_INVOICEL};
  return std::nullopt;
}

// The job's file once the dictionary is set up; nothing after saying why not.
std::optional<JobFile> SessionFile(const Session& session, const std::string& label,
                                   std::ostream& messages) {
  std::optional<JobFile> file = session.ready() ? FindFile(label) : std::nullopt;
  if (!file) messages << "ledora: the invoicing files cannot be set up\n";
  return file;
}

// A job waits this long (per attempt of the file manager's) for a file
// another station holds locked, then says so, rather than keep a script
// waiting as long as a user at a window would.
constexpr int16_t kJobLockWait = 1;

// Whether the storage's last fault was a lock another station holds.
bool LockedElsewhere() {
  const runtime::ErrorState& state = runtime::CurrentError();
  int rc = std::atoi(state.fileErrorCode.c_str()) & 0xff;
  return state.code == runtime::ErrorAccessDenied && (rc == 5 || rc == 6);  // busy, locked
}

// The file opened through its relation controller for the length of a job.
class OpenedFile {
 public:
  OpenedFile(const JobFile& file, const std::string& job, std::ostream& messages) : file_(file) {
    file.manager->LOCKRECOVER = kJobLockWait;
    opened_ = file.relation->Open() == data::SeverityNone;
    usable_ = opened_ && file.manager->MakeUsable() == data::SeverityNone;
    if (!usable_ && LockedElsewhere()) {
      messages << job << ": " << file.manager->CurrentFile().declaration().label
               << " is locked by another station; nothing was done, try again when it is free\n";
    }
  }
  ~OpenedFile() {
    if (opened_) file_.relation->Close();
  }
  OpenedFile(const OpenedFile&) = delete;
  OpenedFile& operator=(const OpenedFile&) = delete;
  bool usable() const { return usable_; }

 private:
  JobFile file_;
  bool opened_ = false;
  bool usable_ = false;
};

// ---------------------------------------------------------------- export

struct ExportOptions {
  std::string file;
  std::string key;
  std::string filter;  // Windows-1252
  std::string csv;
};

bool ParseExportArgs(const std::vector<std::string>& args, ExportOptions* options,
                     std::ostream& messages) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::string* target = arg == "--key"      ? &options->key
                          : arg == "--filter" ? &options->filter
                          : arg == "--csv"    ? &options->csv
                                              : nullptr;
    if (target != nullptr) {
      if (i + 1 >= args.size()) {
        messages << "export: " << arg << " needs a value\n";
        return false;
      }
      *target = args[++i];
    } else if (arg.starts_with("--") || !options->file.empty()) {
      messages << "export: unexpected argument " << arg << '\n';
      return false;
    } else {
      options->file = arg;
    }
  }
  if (options->file.empty()) {
    messages << "export: which file? (CUSTOMER, ITEMS, INVOICES, INVOICEL)\n";
    return false;
  }
  if (!KnownFile(options->file)) {
    messages << "export: unknown file " << options->file
             << " (CUSTOMER, ITEMS, INVOICES, INVOICEL)\n";
    return false;
  }
  std::string filter;
  if (!runtime::Utf8ToCp1252(options->filter, &filter)) {
    messages << "export: the filter has characters outside Windows-1252\n";
    return false;
  }
  options->filter = filter;
  if (!options->csv.empty() && runtime::IsDataFolderFile(options->csv)) {
    messages << "export: " << options->csv
             << " is a data or settings file of the data folder; choose another output\n";
    return false;
  }
  return true;
}

const data::KeyEntry* FindKey(const data::FileManager& manager, const std::string& description) {
  if (manager.KEYS == nullptr || manager.KEYS->empty()) return nullptr;
  if (description.empty()) return &manager.KEYS->front();
  for (const data::KeyEntry& key : *manager.KEYS) {
    if (runtime::AsciiUpper(key.PDESCRIPTION) == runtime::AsciiUpper(description)) return &key;
  }
  return nullptr;
}

// The CSV in pieces of about this size, so that memory stays flat at any
// number of records.
constexpr size_t kWriteChunk = 1 << 20;

using CsvSink = std::function<bool(std::string_view)>;

int WriteRecords(const JobFile& file, int key, const std::string& filter, const CsvSink& sink,
                 std::ostream& messages) {
  const runtime::RecordLayout& layout = *file.manager->BUFFER.layout;
  runtime::View view(runtime::ViewDeclaration{&file.manager->CurrentFile(), {}, {}});
  data::ViewManager records;
  records.Initialize(&view, file.relation);
  records.AddSortOrder(key);
  int status = JobDone;
  if (!filter.empty()) {
    records.SetStandardFilter(filter);
    // The view would go on without a filter it cannot take, and export every record.
    if (records.ApplyFilter() != data::SeverityNone) {
      messages << "export: the filter cannot be applied: " << view.refusal() << '\n';
      status = JobUsage;
    }
  }
  std::string chunk;
  for (size_t i = 0; i < layout.fields().size(); ++i) {
    if (i) chunk += ',';
    AppendCsvField(layout.fields()[i].label, &chunk);
  }
  chunk += '\n';
  if (status == JobDone) records.Reset();
  uint8_t result = data::SeverityInform;
  while (status == JobDone && (result = records.Next()) == data::SeverityNone) {
    for (size_t i = 0; i < layout.fields().size(); ++i) {
      FieldRef field = layout.Bind(file.manager->BUFFER.address, static_cast<int>(i));
      if (i) chunk += ',';
      AppendCsvField(ValueText(layout.fields()[i], field), &chunk);
    }
    chunk += '\n';
    if (chunk.size() >= kWriteChunk) {
      if (!sink(chunk)) status = JobFailed;
      chunk.clear();
    }
  }
  if (status == JobDone && result != data::SeverityInform) {
    // A filter that cannot be computed for a record (a division by zero, a
    // number out of range) is the filter's fault, not the data's.
    bool filterFailed = runtime::CurrentError().code == runtime::ErrorExpressionEvaluation;
    if (filterFailed) messages << "export: the filter cannot be applied to every record\n";
    status = filterFailed ? JobUsage : JobFailed;
  }
  if (status == JobDone && !sink(chunk)) status = JobFailed;
  records.Close();
  records.Shutdown();
  return status;
}

// Opening would make a missing or emptied file anew, empty: a job that only
// reads says what is wrong with it instead.
bool ExportableFile(const std::optional<runtime::StorageName>& name, const std::string& label,
                    std::ostream& messages) {
  std::string file = name ? runtime::ResolveFileName(name->file) : label;
  struct stat st;
  if (!name || ::stat(file.c_str(), &st) != 0) {
    if (name && errno != ENOENT) {
      messages << "export: cannot read " << file << ": " << std::strerror(errno) << '\n';
    } else {
      messages << "export: there is no file " << file << " in the data folder\n";
    }
    return false;
  }
  if (S_ISREG(st.st_mode) && st.st_size == 0) {
    messages << "export: " << file << " is empty (0 bytes), not a data file; nothing exported\n";
    return false;
  }
  return true;
}

int Export(const std::vector<std::string>& args, std::ostream& out, std::ostream& messages) {
  ExportOptions options;
  if (!ParseExportArgs(args, &options, messages)) return JobUsage;
  Session session(messages, runtime::PgSchemaMustExist);
  std::optional<JobFile> file = SessionFile(session, options.file, messages);
  if (!file) return JobFailed;
  const data::KeyEntry* key = FindKey(*file->manager, options.key);
  if (key == nullptr) {
    messages << "export: " << options.file << " has no key \"" << options.key << "\"; its keys:";
    for (const data::KeyEntry& k : *file->manager->KEYS) messages << " \"" << k.PDESCRIPTION << '"';
    messages << '\n';
    return JobUsage;
  }
  // Opening would make the missing file, empty. (A table on a server has
  // no file to look for; a missing one exports as empty.)
  std::optional<runtime::StorageName> name =
      runtime::StorageName::Parse(file->manager->CurrentFile().declaration().name);
  if (session.driver().FilesOnDisk() && !ExportableFile(name, options.file, messages)) {
    return JobFailed;
  }
  OpenedFile opened(*file, "export", messages);
  if (!opened.usable()) return JobFailed;
  // The names of the filter are bound once the file is open.
  std::unique_ptr<runtime::Expression> parsed;
  std::string detail;
  if (!options.filter.empty() &&
      runtime::Expression::Parse(options.filter, &parsed, &detail) != 0) {
    messages << "export: bad filter: " << detail << '\n';
    return JobUsage;
  }
  if (options.csv.empty()) {
    int status = WriteRecords(
        *file, key->KEY, options.filter,
        [&](std::string_view bytes) {
          return static_cast<bool>(out.write(bytes.data(), bytes.size()));
        },
        messages);
    if (!out.flush()) {
      messages << "export: cannot write the standard output\n";
      status = JobFailed;
    }
    return status;
  }
  runtime::OutputFile target;
  int status = target.Open(options.csv) ? JobDone : JobFailed;
  if (status == JobDone) {
    status = WriteRecords(
        *file, key->KEY, options.filter,
        [&](std::string_view bytes) { return target.Write(bytes); }, messages);
  }
  if (status == JobDone && !target.Commit()) status = JobFailed;
  if (!target.error().empty()) messages << "export: " << target.error() << '\n';
  return status;
}

// ---------------------------------------------------------------- import

// The field index of each header column; false after reporting every fault.
bool HeaderColumns(const CsvRow& header, const runtime::RecordLayout& layout,
                   const std::string& label, std::vector<int>* columns, std::ostream& messages) {
  if (header.count > header.fields.size()) {
    messages << "line 1: " << header.count << " columns for file " << label << '\n';
    return false;
  }
  bool sound = true;
  for (const std::string& name : header.fields) {
    int index = layout.Find(name);
    if (index < 0 || std::count(columns->begin(), columns->end(), index) > 0) {
      messages << "line 1: " << (index < 0 ? "unknown" : "repeated") << " column " << name
               << " for file " << label << '\n';
      sound = false;
    }
    columns->push_back(index);
  }
  return sound;
}

// The row as a record image in image; false after reporting every fault.
bool RowImage(const CsvRow& row, const std::vector<int>& columns,
              const runtime::RecordLayout& layout, std::vector<unsigned char>* image,
              std::ostream& messages) {
  if (row.count != columns.size()) {
    messages << "line " << row.line << ": " << row.count << " values for " << columns.size()
             << " columns\n";
    return false;
  }
  image->assign(layout.recordSize(), 0);
  for (size_t i = 0; i < layout.fields().size(); ++i) {
    runtime::Clear(layout.Bind(image->data(), static_cast<int>(i)));
  }
  bool sound = true;
  for (size_t c = 0; c < columns.size(); ++c) {
    const FieldDescriptor& descriptor = layout.fields()[columns[c]];
    std::string fault =
        row.cut[c] ? CutValueFault(descriptor, row.fields[c])
                   : StoreValue(descriptor, layout.Bind(image->data(), columns[c]), row.fields[c]);
    if (!fault.empty()) {
      messages << "line " << row.line << ": " << descriptor.label << " " << fault << '\n';
      sound = false;
    }
  }
  return sound;
}

// The field that numbering fills when the row leaves it empty or 0.
FieldRef NumberedField(const data::FileManager& manager) {
  for (const data::KeyEntry& key : *manager.KEYS) {
    if (key.AUTOINC > 0 && key.AUTOINC <= key.FIELDS.size())
      return key.FIELDS[key.AUTOINC - 1].FIELD;
  }
  return {runtime::FieldLong, nullptr, 0, 0};
}

bool AddRecord(Session& session, data::FileManager& manager, const FieldRef& numbered,
               const std::vector<unsigned char>& image, int line) {
  std::memcpy(manager.BUFFER.address, image.data(), manager.BUFFER.size);
  session.messages().prefix = "line " + std::to_string(line) + ": ";
  uint8_t saved = manager.HASAUTOINC;
  // A row that brings its own number keeps it.
  if (numbered.address != nullptr && !runtime::GetNumber(numbered).IsZero()) manager.HASAUTOINC = 0;
  data::Severity result = manager.Insert();
  manager.HASAUTOINC = saved;
  session.messages().prefix.clear();
  return result == data::SeverityNone;
}

// Reads the rows after the header and adds them while all are sound; after
// the first fault it only reports, so that one run names every bad value.
// The count of records added, or -1.
long AddRows(Session& session, const JobFile& file, CsvReader& reader,
             const std::vector<int>& columns, std::ostream& messages) {
  data::FileManager& manager = *file.manager;
  FieldRef numbered = NumberedField(manager);
  const runtime::RecordLayout& layout = *manager.BUFFER.layout;
  CsvRow row;
  std::vector<unsigned char> image;
  bool sound = true;
  long added = 0;
  CsvReader::Result result;
  while ((result = reader.Next(&row)) == CsvReader::RowRead) {
    if (!RowImage(row, columns, layout, &image, messages)) {
      sound = false;
    } else if (sound && !AddRecord(session, manager, numbered, image, row.line)) {
      return -1;
    } else {
      ++added;
    }
  }
  if (result == CsvReader::OpenQuote) {
    messages << "line " << row.line << ": a quoted value is never closed\n";
  } else if (result == CsvReader::ReadError) {
    messages << "import: the CSV file could not be read to its end\n";
  }
  return sound && result == CsvReader::End ? added : -1;
}

// Only a regular file: a folder cannot be read, and a device may never end.
bool OpenCsv(const std::string& path, std::ifstream* in, std::ostream& messages) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    messages << "import: cannot read " << path << ": " << std::strerror(errno) << '\n';
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    messages << "import: " << path << " is not a regular file\n";
    return false;
  }
  in->open(path, std::ios::binary);
  if (!*in) {
    messages << "import: cannot read " << path << ": " << std::strerror(errno) << '\n';
    return false;
  }
  return true;
}

int Import(const std::vector<std::string>& args, std::ostream& messages) {
  if (args.size() != 2) {
    messages << "import: usage: ledora import FILE CSV\n";
    return JobUsage;
  }
  if (!KnownFile(args[0])) {
    messages << "import: unknown file " << args[0] << " (CUSTOMER, ITEMS, INVOICES, INVOICEL)\n";
    return JobUsage;
  }
  std::ifstream in;
  if (!OpenCsv(args[1], &in, messages)) return JobFailed;
  CsvReader reader(in);
  CsvRow header;
  CsvReader::Result read = reader.Next(&header);
  if (read != CsvReader::RowRead) {
    if (read == CsvReader::OpenQuote)
      messages << "line " << header.line << ": a quoted value is never closed\n";
    else
      messages << "import: " << args[1] << " has no header line\n";
    return JobFailed;
  }
  Session session(messages, runtime::PgMakeSchema);
  std::optional<JobFile> file = SessionFile(session, args[0], messages);
  if (!file) return JobFailed;
  std::vector<int> columns;
  if (!HeaderColumns(header, *file->manager->BUFFER.layout, runtime::AsciiUpper(args[0]), &columns,
                     messages)) {
    messages << "import: nothing imported\n";
    return JobFailed;
  }
  OpenedFile opened(*file, "import", messages);
  if (!opened.usable()) return JobFailed;
  runtime::StorageDriver& driver = session.driver();
  long added = -1;
  if (driver.Mark(file->manager->CurrentFile()) == 0 && driver.Logout(10) == 0) {
    added = AddRows(session, *file, reader, columns, messages);
  }
  bool committed = added >= 0 && driver.Commit() == 0;
  if (!committed && driver.InTransaction()) driver.Rollback();
  if (!committed) {
    messages << "import: nothing imported\n";
    return JobFailed;
  }
  messages << "import: " << added << " records added to " << runtime::AsciiUpper(args[0]) << '\n';
  return JobDone;
}

// ------------------------------------------------------ recalculate-totals

// The number of totals changed, or -1 after saying why.
long RecalculateAll(std::ostream& messages) {
  data::FileManager& invoices = *Access_INVOICES;
  long changed = 0;
  if (invoices.CurrentFile().SetOrder(InvoiceRecord::NUMBERKEY) != runtime::ErrorNone) {
    messages << "recalculate-totals: the invoices cannot be read\n";
    return -1;
  }
  runtime::FieldRef sales = runtime::FieldRef::Packed(INV.SALES, kMoneySize, kMoneyPlaces);
  for (;;) {
    if (invoices.NextQuietly() != data::SeverityNone) {
      if (invoices.AtEnd()) return changed;
      invoices.Throw();
      return -1;
    }
    runtime::Decimal total;
    if (!SumInvoiceLines(INV.NUMBER, &total)) {
      Access_INVOICEL->Throw();
      return -1;
    }
    if (runtime::GetNumber(sales) == total) continue;
    int32_t number = INV.NUMBER;
    runtime::SetNumber(sales, total);
    if (runtime::GetNumber(sales) != total) {
      messages << "recalculate-totals: the lines of invoice " << number << " add up to "
               << total.ToString() << ", more than a total holds\n";
      return -1;
    }
    if (invoices.UpdateNoted(data::UpdateQuiet) != data::SeverityNone) {
      invoices.Throw();
      return -1;
    }
    ++changed;
  }
}

int RecalculateTotals(const std::vector<std::string>& args, std::ostream& messages) {
  if (!args.empty()) {
    messages << "recalculate-totals: usage: ledora recalculate-totals\n";
    return JobUsage;
  }
  Session session(messages, runtime::PgSchemaMustExist);
  std::optional<JobFile> invoices = SessionFile(session, "INVOICES", messages);
  std::optional<JobFile> lines = SessionFile(session, "INVOICEL", messages);
  if (!invoices || !lines) return JobFailed;
  OpenedFile openedInvoices(*invoices, "recalculate-totals", messages);
  OpenedFile openedLines(*lines, "recalculate-totals", messages);
  if (!openedInvoices.usable() || !openedLines.usable()) return JobFailed;
  int64_t count = Access_INVOICES->CurrentFile().Records();
  // All totals or none: a job stopped halfway leaves no mix behind.
  runtime::StorageDriver& driver = session.driver();
  long changed = -1;
  if (driver.Mark(Access_INVOICES->CurrentFile()) == 0 &&
      driver.Mark(Access_INVOICEL->CurrentFile()) == 0 && driver.Logout(10) == 0) {
    changed = RecalculateAll(messages);
  }
  bool committed = changed >= 0 && driver.Commit() == 0;
  if (!committed && driver.InTransaction()) driver.Rollback();
  if (!committed) {
    messages << "recalculate-totals: no total changed\n";
    return JobFailed;
  }
  messages << "recalculate-totals: " << changed << " of " << count << " invoice totals changed\n";
  return JobDone;
}

// ---------------------------------------------------------------- demo

int Demo(const std::vector<std::string>& args, std::ostream& messages) {
  if (!args.empty()) {
    messages << "demo: unexpected argument " << args[0] << '\n';
    return JobUsage;
  }
  Session session(messages, runtime::PgMakeSchema);
  if (!session.ready()) {
    messages << "ledora: the invoicing files cannot be set up\n";
    return JobFailed;
  }
  switch (FillDemoData(runtime::Today())) {
    case DemoFilled:
      messages << "demo: the data folder now holds the sample data\n";
      return JobDone;
    case DemoNotEmpty:
      messages << "demo: the data folder already holds data; nothing was added\n";
      return JobFailed;
    default:
      messages << "demo: the sample data could not be written; nothing was added\n";
      return JobFailed;
  }
}

}  // namespace

int RecalculateTotalsJob(const std::vector<std::string>& args, std::ostream& messages) {
  return RunJob(messages, [&] { return RecalculateTotals(args, messages); });
}

int ExportJob(const std::vector<std::string>& args, std::ostream& out, std::ostream& messages) {
  return RunJob(messages, [&] { return Export(args, out, messages); });
}

int ImportJob(const std::vector<std::string>& args, std::ostream& messages) {
  return RunJob(messages, [&] { return Import(args, messages); });
}

int DemoJob(const std::vector<std::string>& args, std::ostream& messages) {
  return RunJob(messages, [&] { return Demo(args, messages); });
}

}  // namespace ledora::app
