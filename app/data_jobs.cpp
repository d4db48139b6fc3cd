#include "app/data_jobs.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>

#include "app/invoicing_dictionary.h"
#include "data/view_manager.h"
#include "runtime/dates/standard_date.h"
#include "runtime/expr/expression.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/system/ascii_case.h"
#include "runtime/system/message_service.h"
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
         << runtime::Cp1252ToUtf8(request.text) << '\n';
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
  explicit Session(std::ostream& messages) : messages_(messages) {
    errors_.Initialize();
    ready_ = DictionarySetup(driver_, errors_);
  }
  ~Session() {
    if (ready_) DictionaryShutdown();
    errors_.Shutdown();
  }
  bool ready() const { return ready_; }
  runtime::StorageDriver& driver() { return driver_; }
  JobMessages& messages() { return messages_; }

 private:
  JobMessages messages_;
  runtime::SqliteDriver driver_;
  data::ErrorReporter errors_;
  bool ready_ = false;
};

struct JobFile {
  data::FileManager* manager = nullptr;
  data::RelationController* relation = nullptr;
};

std::optional<JobFile> FindFile(const std::string& label) {
  std::string wanted = runtime::AsciiUpper(label);
  if (wanted == "CUSTOMER") return JobFile{Access_CUSTOMER, Relate_CUSTOMER};
  if (wanted == "ITEMS") return JobFile{Access_ITEMS, Relate_ITEMS};
  if (wanted == "INVOICES") return JobFile{Access_INVOICES, Relate_INVOICES};
  if (wanted == "INVOICEL") return JobFile{Access_INVOICEL, Relate_INVOICEL};
  return std::nullopt;
}

// ---------------------------------------------------------------- CSV

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string out = "\"";
  for (char c : text) {
    out += c;
    if (c == '"') out += '"';
  }
  return out + "\"";
}

struct CsvRow {
  int line = 0;  // where the row starts
  std::vector<std::string> fields;
};

// false on a quote that is never closed; *badLine names the row.
bool ParseCsv(const std::string& text, std::vector<CsvRow>* rows, int* badLine) {
  size_t i = 0;
  int line = 1;
  while (i < text.size()) {
    CsvRow row{line, {}};
    std::string field;
    bool quoted = false;
    for (;;) {
      if (i >= text.size()) {
        if (quoted) {
          *badLine = row.line;
          return false;
        }
        break;
      }
      char c = text[i++];
      if (quoted) {
        if (c == '"' && i < text.size() && text[i] == '"') {
          field += '"';
          ++i;
        } else if (c == '"') {
          quoted = false;
        } else {
          if (c == '\n') ++line;
          field += c;
        }
      } else if (c == '"') {
        quoted = true;
      } else if (c == ',') {
        row.fields.push_back(std::move(field));
        field.clear();
      } else if (c == '\n' || c == '\r') {
        if (c == '\r' && i < text.size() && text[i] == '\n') ++i;
        ++line;
        break;
      } else {
        field += c;
      }
    }
    row.fields.push_back(std::move(field));
    if (!(row.fields.size() == 1 && row.fields[0].empty())) rows->push_back(std::move(row));
  }
  return true;
}

// ---------------------------------------------------------------- values

std::string ValueText(const FieldDescriptor& descriptor, const FieldRef& field) {
  switch (descriptor.type) {
    case runtime::FieldString:
      return runtime::Cp1252ToUtf8(runtime::GetText(field));
    case runtime::FieldDate: {
      int32_t date = static_cast<int32_t>(runtime::GetNumber(field).ToInt64());
      runtime::CalendarDate parts;
      if (date == 0 || !runtime::DateParts(date, &parts)) return {};
      char text[16];
      std::snprintf(text, sizeof text, "%04d-%02d-%02d", parts.year, parts.month, parts.day);
      return text;
    }
    default:
      return runtime::GetNumber(field).ToString();
  }
}

std::optional<int32_t> IsoDate(const std::string& text) {
  int year = 0, month = 0, day = 0;
  char rest = 0;
  if (text.size() != 10 || text[4] != '-' || text[7] != '-' ||
      std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &rest) != 3) {
    return std::nullopt;
  }
  if (year < 1801 || month < 1 || month > 12 || day < 1 ||
      day > runtime::DaysInMonth(year, month)) {
    return std::nullopt;
  }
  return runtime::DateFrom(month, day, year);
}

// Empty when the text was stored; else why not.
std::string StoreValue(const FieldDescriptor& descriptor, const FieldRef& field,
                       const std::string& text) {
  if (descriptor.type == runtime::FieldString) {
    std::string bytes;
    if (!runtime::Utf8ToCp1252(text, &bytes)) return "has characters outside Windows-1252";
    if (bytes.size() > descriptor.size) {
      return "is longer than " + std::to_string(descriptor.size) + " characters";
    }
    runtime::SetText(field, bytes);
    return {};
  }
  if (text.empty()) {
    runtime::Clear(field);
    return {};
  }
  if (descriptor.type == runtime::FieldDate) {
    std::optional<int32_t> date = IsoDate(text);
    if (!date) return "is not a date (YYYY-MM-DD): " + text;
    runtime::SetNumber(field, *date);
    return {};
  }
  std::optional<runtime::Decimal> number = runtime::Decimal::Parse(text);
  if (!number) return "is not a number: " + text;
  if (number->places() > descriptor.places) {
    return "has more than " + std::to_string(descriptor.places) + " decimals: " + text;
  }
  if (descriptor.type == runtime::FieldDecimal) {
    if (!runtime::PackDecimal(*number, field.address, static_cast<int>(field.size),
                              descriptor.places)) {
      return "is too large: " + text;
    }
    return {};
  }
  if (*number < runtime::Decimal(INT32_MIN) || *number > runtime::Decimal(INT32_MAX)) {
    return "is too large: " + text;
  }
  runtime::SetNumber(field, *number);
  return {};
}

bool ReadFile(const std::string& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  text->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// ---------------------------------------------------------------- export

struct ExportOptions {
  std::string file;
  std::string key;
  std::string filter;
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
  if (options->file.empty())
    messages << "export: which file? (CUSTOMER, ITEMS, INVOICES, INVOICEL)\n";
  return !options->file.empty();
}

const data::KeyEntry* FindKey(const data::FileManager& manager, const std::string& description) {
  if (manager.KEYS == nullptr || manager.KEYS->empty()) return nullptr;
  if (description.empty()) return &manager.KEYS->front();
  for (const data::KeyEntry& key : *manager.KEYS) {
    if (runtime::AsciiUpper(key.PDESCRIPTION) == runtime::AsciiUpper(description)) return &key;
  }
  return nullptr;
}

int WriteRecords(const JobFile& file, int key, const std::string& filter, std::string* csv) {
  const runtime::RecordLayout& layout = *file.manager->BUFFER.layout;
  runtime::View view(runtime::ViewDeclaration{&file.manager->CurrentFile(), {}, {}});
  data::ViewManager records;
  records.Initialize(&view, file.relation);
  records.AddSortOrder(key);
  if (!filter.empty()) records.SetStandardFilter(filter);
  for (size_t i = 0; i < layout.fields().size(); ++i) {
    *csv += (i ? "," : "") + CsvField(layout.fields()[i].label);
  }
  *csv += '\n';
  records.Reset();
  uint8_t result;
  while ((result = records.Next()) == 0) {
    for (size_t i = 0; i < layout.fields().size(); ++i) {
      FieldRef field = layout.Bind(file.manager->BUFFER.address, static_cast<int>(i));
      *csv += (i ? "," : "") + CsvField(ValueText(layout.fields()[i], field));
    }
    *csv += '\n';
  }
  records.Close();
  records.Shutdown();
  return result == data::SeverityInform ? JobDone : JobFailed;
}

// ---------------------------------------------------------------- import

struct ImportRow {
  int line = 0;
  std::vector<unsigned char> record;
};

// The header's field indexes, then every row as a record image; false after
// reporting every fault found.
bool ReadRows(const std::vector<CsvRow>& rows, const runtime::RecordLayout& layout,
              const std::string& label, std::vector<ImportRow>* images, std::ostream& messages) {
  bool sound = true;
  std::vector<int> columns;
  for (const std::string& name : rows.front().fields) {
    int index = layout.Find(name);
    if (index < 0 || std::count(columns.begin(), columns.end(), index) > 0) {
      messages << "line 1: " << (index < 0 ? "unknown" : "repeated") << " column " << name
               << " for file " << label << '\n';
      sound = false;
    }
    columns.push_back(index);
  }
  if (!sound) return false;
  for (size_t r = 1; r < rows.size(); ++r) {
    const CsvRow& row = rows[r];
    if (row.fields.size() != columns.size()) {
      messages << "line " << row.line << ": " << row.fields.size() << " values for "
               << columns.size() << " columns\n";
      sound = false;
      continue;
    }
    ImportRow image{row.line, std::vector<unsigned char>(layout.recordSize(), 0)};
    for (size_t i = 0; i < layout.fields().size(); ++i) {
      runtime::Clear(layout.Bind(image.record.data(), static_cast<int>(i)));
    }
    for (size_t c = 0; c < columns.size(); ++c) {
      const FieldDescriptor& descriptor = layout.fields()[columns[c]];
      std::string fault =
          StoreValue(descriptor, layout.Bind(image.record.data(), columns[c]), row.fields[c]);
      if (!fault.empty()) {
        messages << "line " << row.line << ": " << descriptor.label << " " << fault << '\n';
        sound = false;
      }
    }
    images->push_back(std::move(image));
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

bool AddRecords(Session& session, const JobFile& file, const std::vector<ImportRow>& images) {
  data::FileManager& manager = *file.manager;
  FieldRef numbered = NumberedField(manager);
  for (const ImportRow& image : images) {
    std::memcpy(manager.BUFFER.address, image.record.data(), manager.BUFFER.size);
    session.messages().prefix = "line " + std::to_string(image.line) + ": ";
    uint8_t saved = manager.HASAUTOINC;
    // A row that brings its own number keeps it.
    if (numbered.address != nullptr && !runtime::GetNumber(numbered).IsZero())
      manager.HASAUTOINC = 0;
    uint8_t result = manager.Insert();
    manager.HASAUTOINC = saved;
    if (result != data::SeverityNone) return false;
  }
  session.messages().prefix.clear();
  return true;
}

}  // namespace

int ExportJob(const std::vector<std::string>& args, std::ostream& out, std::ostream& messages) {
  ExportOptions options;
  if (!ParseExportArgs(args, &options, messages)) return JobUsage;
  Session session(messages);
  std::optional<JobFile> file = FindFile(options.file);
  if (!session.ready() || !file) {
    messages << "export: unknown file " << options.file
             << " (CUSTOMER, ITEMS, INVOICES, INVOICEL)\n";
    return JobUsage;
  }
  const data::KeyEntry* key = FindKey(*file->manager, options.key);
  if (key == nullptr) {
    messages << "export: " << options.file << " has no key \"" << options.key << "\"; its keys:";
    for (const data::KeyEntry& k : *file->manager->KEYS) messages << " \"" << k.PDESCRIPTION << '"';
    messages << '\n';
    return JobUsage;
  }
  if (file->relation->Open() != data::SeverityNone ||
      file->manager->MakeUsable() != data::SeverityNone) {
    return JobFailed;
  }
  std::string filter;
  if (!runtime::Utf8ToCp1252(options.filter, &filter)) {
    messages << "export: the filter has characters outside Windows-1252\n";
    file->relation->Close();
    return JobUsage;
  }
  std::unique_ptr<runtime::Expression> parsed;
  std::string detail;
  if (!filter.empty() && runtime::Expression::Parse(filter, &parsed, &detail) != 0) {
    messages << "export: bad filter: " << detail << '\n';
    file->relation->Close();
    return JobUsage;
  }
  std::string csv;
  int status = WriteRecords(*file, key->KEY, filter, &csv);
  file->relation->Close();
  if (status != JobDone) return status;
  if (options.csv.empty()) {
    out << csv;
    return out.good() ? JobDone : JobFailed;
  }
  std::ofstream target(options.csv, std::ios::binary | std::ios::trunc);
  target << csv;
  target.close();
  if (!target) {
    messages << "export: cannot write " << options.csv << '\n';
    return JobFailed;
  }
  return JobDone;
}

int ImportJob(const std::vector<std::string>& args, std::ostream& messages) {
  if (args.size() != 2) {
    messages << "import: usage: ledora import FILE CSV\n";
    return JobUsage;
  }
  std::string text;
  if (!ReadFile(args[1], &text)) {
    messages << "import: cannot read " << args[1] << '\n';
    return JobFailed;
  }
  std::vector<CsvRow> rows;
  int badLine = 0;
  if (!ParseCsv(text, &rows, &badLine)) {
    messages << "line " << badLine << ": a quoted value is never closed\n";
    return JobFailed;
  }
  if (rows.empty()) {
    messages << "import: " << args[1] << " has no header line\n";
    return JobFailed;
  }
  Session session(messages);
  std::optional<JobFile> file = FindFile(args[0]);
  if (!session.ready() || !file) {
    messages << "import: unknown file " << args[0] << " (CUSTOMER, ITEMS, INVOICES, INVOICEL)\n";
    return JobUsage;
  }
  std::vector<ImportRow> images;
  if (!ReadRows(rows, *file->manager->BUFFER.layout, runtime::AsciiUpper(args[0]), &images,
                messages)) {
    messages << "import: nothing imported\n";
    return JobFailed;
  }
  if (file->relation->Open() != data::SeverityNone ||
      file->manager->MakeUsable() != data::SeverityNone) {
    return JobFailed;
  }
  runtime::StorageDriver& driver = session.driver();
  bool added = driver.Mark(file->manager->CurrentFile()) == 0 && driver.Logout(10) == 0 &&
               AddRecords(session, *file, images);
  bool committed = added && driver.Commit() == 0;
  if (!committed && driver.InTransaction()) driver.Rollback();
  file->relation->Close();
  if (!committed) {
    messages << "import: nothing imported\n";
    return JobFailed;
  }
  messages << "import: " << images.size() << " records added to " << runtime::AsciiUpper(args[0])
           << '\n';
  return JobDone;
}

}  // namespace ledora::app
