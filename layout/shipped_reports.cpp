#include "layout/shipped_reports.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <limits>
#include <system_error>

#include "layout/band_entry.h"
#include "layout/content_data.h"
#include "layout/design_database.h"
#include "runtime/storage/folder_lock.h"
#include "runtime/storage/storage_driver.h"
#include "runtime/storage/storage_name.h"
#include "runtime/system/file_names.h"
#include "runtime/system/runtime_error.h"
#include "runtime/values/fixed_string.h"

namespace ledora::layout {

namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

// One line's cells, taken in order; the first failure sticks.
class Cells {
 public:
  explicit Cells(std::string_view line) {
    size_t start = 0;
    while (true) {
      size_t bar = line.find('|', start);
      cells_.emplace_back(Trim(line.substr(start, bar - start)));
      if (bar == std::string_view::npos) break;
      start = bar + 1;
    }
  }

  size_t size() const { return cells_.size(); }
  const std::string& keyword() const { return cells_[0]; }
  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }

  int64_t Number(int64_t low, int64_t high) {
    const std::string& cell = Next();
    int64_t value = 0;
    auto [end, code] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
    if (code != std::errc() || end != cell.data() + cell.size() || value < low || value > high) {
      Fail("\"" + cell + "\" is not a number from " + std::to_string(low) + " to " +
           std::to_string(high));
    }
    return value;
  }
  int32_t Long() {
    return static_cast<int32_t>(
        Number(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
  }
  uint8_t Byte() { return static_cast<uint8_t>(Number(0, 255)); }
  int16_t Short() { return static_cast<int16_t>(Number(-32768, 32767)); }
  std::string Text(size_t capacity) {
    std::string cell = Next();
    if (cell.size() > capacity) Fail("\"" + cell + "\" is longer than " + std::to_string(capacity));
    return cell;
  }
  template <size_t N>
  void Into(char (&field)[N]) {
    runtime::AssignPadded(field, Text(N));
  }
  char Letter(std::string_view allowed) {
    std::string cell = Next();
    if (cell.size() != 1 || allowed.find(cell[0]) == std::string_view::npos) {
      Fail("\"" + cell + "\" is not one of " + std::string(allowed));
      return allowed[0];
    }
    return cell[0];
  }
  void Expect(size_t count) {
    if (cells_.size() != count) {
      Fail(std::to_string(cells_.size()) + " cells where " + std::to_string(count) + " belong");
    }
  }
  void Fail(std::string error) {
    if (error_.empty()) error_ = std::move(error);
  }

 private:
  const std::string& Next() {
    static const std::string none;
    return next_ < cells_.size() ? cells_[next_++] : none;
  }

  std::vector<std::string> cells_;
  size_t next_ = 1;
  std::string error_;
};

int16_t BandKindOf(uint8_t index) {
  return index <= 3 ? static_cast<int16_t>(index + 3) : static_cast<int16_t>(BandDetail);
}

ContentRecord Content(const ShippedDesign& design, char type, uint8_t kind) {
  ContentRecord record{};
  record.DESIGNNUMBER = design.design.DESIGNNUMBER;
  record.RECORDTYPE[0] = type;
  record.BCTYPE = kind;
  return record;
}

void ReadPaper(Cells& cells, ShippedDesign& design) {
  cells.Expect(12);
  PaperData paper;
  paper.scale = cells.Letter("1M");
  paper.orientation = cells.Letter("PL");
  paper.paperWidth = cells.Long();
  paper.paperHeight = cells.Long();
  paper.areaX = cells.Long();
  paper.areaY = cells.Long();
  paper.areaWidth = cells.Long();
  paper.areaHeight = cells.Long();
  paper.fontName = cells.Text(32);
  paper.fontStyle = cells.Short();
  paper.fontSize = cells.Short();
  ContentRecord record = Content(design, 'A', 0);
  EncodePaper(paper, record.THEDATA);
  design.contents.push_back(record);
}

void ReadBand(Cells& cells, ShippedDesign& design) {
  cells.Expect(8);
  BandData band;
  band.index = cells.Byte();
  band.name = cells.Text(32);
  band.x = cells.Long();
  band.y = cells.Long();
  band.width = cells.Long();
  band.height = cells.Long();
  band.pageBefore = cells.Byte();
  if (band.index == 0) cells.Fail("band index 0");
  ContentRecord record = Content(design, 'B', static_cast<uint8_t>(BandKindOf(band.index)));
  EncodeBand(band, record.THEDATA);
  design.contents.push_back(record);
}

// The font and colour cells are optional, so that a plain control stays
// one short line.
void ReadControl(Cells& cells, ShippedDesign& design) {
  if (cells.size() != 10 && cells.size() != 12 && cells.size() != 14) cells.Expect(10);
  uint8_t kind = static_cast<uint8_t>(cells.Number(KindImage, KindTextField));
  ControlData control;
  control.band = cells.Byte();
  control.x = cells.Long();
  control.y = cells.Long();
  control.width = cells.Long();
  control.height = cells.Long();
  control.justification = cells.Letter("LRCD");
  control.fieldName = cells.Text(32);
  control.picture = cells.Text(256);
  control.lineColor = kind == KindLine ? 0 : -1;
  control.boxColor = -1;
  if (cells.size() >= 12) {
    control.fontSize = cells.Short();
    control.fontStyle = cells.Short();
  }
  if (cells.size() >= 14) {
    control.lineColor = cells.Long();
    control.boxColor = cells.Long();
  }
  ContentRecord record = Content(design, 'C', kind);
  EncodeControl(control, record.THEDATA);
  design.contents.push_back(record);
}

// Loading wants the paper first, then the bands, then the controls.
void Number(ShippedDesign& design) {
  auto rank = [](const ContentRecord& record) {
    return std::string("ABC").find(record.RECORDTYPE[0]);
  };
  std::stable_sort(
      design.contents.begin(), design.contents.end(),
      [&](const ContentRecord& a, const ContentRecord& b) { return rank(a) < rank(b); });
  int32_t sequence = 0;
  for (ContentRecord& record : design.contents) record.SEQUENCENUMBER = ++sequence;
}

template <typename Record>
int32_t Fill(runtime::DataFile& file, DesignTable table, const std::vector<Record>& records) {
  int32_t code = file.Create();
  if (code == 0) code = file.Open();
  if (code != 0) return code;
  // One transaction for the whole table rather than one per record.
  runtime::StorageDriver& driver = file.driver();
  bool framed = driver.Mark(file) == 0 && driver.Logout(5) == 0;
  for (const Record& record : records) {
    std::memcpy(DesignTableBuffer(table), &record, sizeof record);
    code = file.Add();
    if (code != 0) break;
  }
  if (framed) {
    int32_t ended = code == 0 ? driver.Commit() : driver.Rollback();
    if (code == 0) code = ended;
  }
  file.Close();
  return code;
}

// A design file is made under this name beside its own and renamed into
// place once whole, so a station killed while making it never leaves a file
// that later starts take for a complete one.
std::string MakingName(const std::string& path) { return path + ".part"; }

// With the folder lock held nobody else is making, so a file under the
// making name (and its journal) is what a killed station left behind. The
// journal must go with it: a hot journal left beside a new file of that name
// would be played back into it.
void RemoveMaking(const std::string& making) {
  std::string found = runtime::ResolveFileName(making);
  for (const std::string& path : {making, found}) {
    for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
      std::error_code ignored;
      std::filesystem::remove(path + suffix, ignored);
    }
  }
}

// Points the tables at the making file while they are filled, and back at
// their own names afterwards, whatever the outcome.
class MakingNames {
 public:
  MakingNames(DesignDatabase& designs, std::initializer_list<DesignTable> tables,
              const std::string& making)
      : designs_(designs), tables_(tables) {
    for (DesignTable table : tables_) {
      std::optional<runtime::StorageName> name =
          runtime::StorageName::Parse(designs_.TableName(table));
      designs_.File(table)->SetName(making + "\\!" + (name ? name->table : std::string()));
    }
  }
  ~MakingNames() {
    for (DesignTable table : tables_) designs_.File(table)->SetName(designs_.TableName(table));
  }
  MakingNames(const MakingNames&) = delete;
  MakingNames& operator=(const MakingNames&) = delete;

 private:
  DesignDatabase& designs_;
  std::vector<DesignTable> tables_;
};

// Makes the file at path with make, unless it exists. 0 or the first error;
// nothing is left under either name after a failure.
int32_t MakeWhole(DesignDatabase& designs, const std::string& path,
                  std::initializer_list<DesignTable> tables, const std::function<int32_t()>& make) {
  std::string making = MakingName(path);
  RemoveMaking(making);
  if (runtime::FileExists(path)) return 0;
  int32_t code;
  {
    MakingNames names(designs, tables, making);
    code = make();
  }
  if (code == 0 && std::rename(making.c_str(), path.c_str()) != 0) {
    code = runtime::ErrorAccessDenied;
    runtime::SetError(code);
  }
  if (code != 0) RemoveMaking(making);
  return code;
}

}  // namespace

bool ShippedReports::Parse(std::string_view text, std::string* error) {
  ShippedReports read;
  int lineNumber = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = Trim(text.substr(start, end - start));
    start = end + 1;
    ++lineNumber;
    if (line.empty() || line[0] == '#') continue;
    Cells cells(line);
    const std::string& keyword = cells.keyword();
    if (keyword == "type") {
      cells.Expect(4);
      ReportTypeRecord& type = read.types.emplace_back();
      type.TYPENUMBER = cells.Long();
      cells.Into(type.TYPENAME);
      type.NUMBEROFDETAILS = cells.Byte();
    } else if (keyword == "band") {
      cells.Expect(13);
      BandRecord& band = read.bands.emplace_back();
      band.TYPENUMBER = cells.Long();
      band.DETAILNUMBER = cells.Byte();
      cells.Into(band.DETAILNAME);
      band.XPOS = cells.Long();
      band.YPOS = cells.Long();
      band.WIDTH = cells.Long();
      band.HEIGHT = cells.Long();
      band.ABSOLUTE = cells.Byte();
      band.PAGEBEFORE = cells.Byte();
      band.PAGEAFTER = cells.Byte();
      band.WITHPRIOR = cells.Byte();
      band.WITHNEXT = cells.Byte();
    } else if (keyword == "field") {
      cells.Expect(9);
      DataFieldRecord& field = read.fields.emplace_back();
      field.FIELDNUMBER = cells.Long();
      cells.Into(field.USERFIELDNAME);
      cells.Into(field.FIELDNAME);
      field.FIELDTYPE = cells.Byte();
      field.BAND = cells.Byte();
      field.JUSTIFICATION[0] = cells.Letter("LRCD");
      field.RESIZABLE = cells.Byte();
      cells.Into(field.PICTURE);
    } else if (keyword == "typefield") {
      cells.Expect(3);
      TypeFieldRecord& pair = read.typeFields.emplace_back();
      pair.TYPENUMBER = cells.Long();
      pair.FIELDNUMBER = cells.Long();
    } else if (keyword == "paper") {
      cells.Expect(6);
      PaperFormatRecord& paper = read.papers.emplace_back();
      cells.Into(paper.FORMATNAME);
      cells.Into(paper.PAPERSCALE);
      cells.Into(paper.PAPERORIENTATION);
      paper.PAPERWIDTH = cells.Long();
      paper.PAPERHEIGHT = cells.Long();
    } else if (keyword == "design") {
      cells.Expect(5);
      ShippedDesign& design = read.designs.emplace_back();
      design.design.DESIGNNUMBER = cells.Long();
      design.design.TYPENUMBER = cells.Long();
      cells.Into(design.design.DESIGNNAME);
      design.standard = cells.Byte() != 0;
    } else if (keyword == "A" || keyword == "B" || keyword == "C") {
      if (read.designs.empty()) {
        cells.Fail("a design record before any design");
      } else if (keyword == "A") {
        ReadPaper(cells, read.designs.back());
      } else if (keyword == "B") {
        ReadBand(cells, read.designs.back());
      } else {
        ReadControl(cells, read.designs.back());
      }
    } else {
      cells.Fail("unknown record \"" + keyword + "\"");
    }
    if (!cells.ok()) {
      if (error != nullptr) *error = "line " + std::to_string(lineNumber) + ": " + cells.error();
      return false;
    }
  }
  for (ShippedDesign& design : read.designs) Number(design);
  *this = std::move(read);
  return true;
}

namespace {

// On a database server the design tables are made in one transaction when
// the first of their file is missing; no file on disk tells.
int32_t MakeWholeTables(DesignDatabase& designs, DesignTable first,
                        const std::function<int32_t()>& make) {
  runtime::DataFile& probe = *designs.File(first);
  if (probe.Open(runtime::AccessReadOnly | runtime::DenyNone) == 0) {
    probe.Close();
    return 0;
  }
  runtime::StorageDriver& driver = probe.driver();
  if (int32_t code = driver.Logout(10); code != 0) return code;
  int32_t code = make();
  if (code != 0) {
    runtime::ErrorState noted = runtime::CurrentError();
    driver.Rollback();
    runtime::SetFileError(noted.code, noted.fileErrorCode, noted.fileErrorText);
    return code;
  }
  return driver.Commit();
}

}  // namespace

int32_t ShippedReports::MakeDesignFiles(DesignDatabase& designs) const {
  if (!designs.File(R_Types)->driver().FilesOnDisk()) {
    int32_t code = MakeWholeTables(designs, R_Types, [&] { return MakeDefinitions(designs); });
    if (code != 0) return code;
    return MakeWholeTables(designs, R_Design, [&] { return MakeDesigns(designs); });
  }
  std::string definitions = runtime::ResolveFileName(runtime::Clip(designs.DefinitionsFile));
  // Another station starting at once would otherwise make the same files
  // into ours, or remove what we made when its own making fails.
  runtime::FolderLock making(definitions);
  int32_t code =
      MakeWhole(designs, definitions, {R_Types, R_Bands, R_Fields, R_TypeFields, R_Pformats},
                [&] { return MakeDefinitions(designs); });
  if (code != 0) return code;
  std::string layouts = runtime::ResolveFileName(runtime::Clip(designs.DesignsFile));
  return MakeWhole(designs, layouts, {R_Design, R_Content, R_StdDesign},
                   [&] { return MakeDesigns(designs); });
}

int32_t ShippedReports::MakeDefinitions(DesignDatabase& designs) const {
  std::vector<ReportTypeRecord> withDefaults = types;
  for (ReportTypeRecord& type : withDefaults) {
    for (const ShippedDesign& design : this->designs) {
      if (design.standard && design.design.TYPENUMBER == type.TYPENUMBER) {
        type.STANDARDDESIGN = design.design.DESIGNNUMBER;
      }
    }
  }
  int32_t code = Fill(*designs.File(R_Types), R_Types, withDefaults);
  if (code == 0) code = Fill(*designs.File(R_Bands), R_Bands, bands);
  if (code == 0) code = Fill(*designs.File(R_Fields), R_Fields, fields);
  if (code == 0) code = Fill(*designs.File(R_TypeFields), R_TypeFields, typeFields);
  if (code == 0) code = Fill(*designs.File(R_Pformats), R_Pformats, papers);
  return code;
}

int32_t ShippedReports::MakeDesigns(DesignDatabase& designs) const {
  std::vector<DesignRecord> records;
  std::vector<ContentRecord> contents;
  std::vector<StdDesignRecord> standards;
  for (const ShippedDesign& design : this->designs) {
    records.push_back(design.design);
    contents.insert(contents.end(), design.contents.begin(), design.contents.end());
    if (design.standard) {
      standards.push_back({design.design.TYPENUMBER, design.design.DESIGNNUMBER});
    }
  }
  int32_t code = Fill(*designs.File(R_Design), R_Design, records);
  if (code == 0) code = Fill(*designs.File(R_Content), R_Content, contents);
  if (code == 0) code = Fill(*designs.File(R_StdDesign), R_StdDesign, standards);
  return code;
}

int32_t ShippedReports::MakeNewReportsFile(DesignDatabase& designs, const std::string& path) const {
  const std::pair<DesignTable, const char*> mirrors[] = {{I_Types, "LTypes"},
                                                         {I_Bands, "BonTypes"},
                                                         {I_Fields, "AllFields"},
                                                         {I_TypeFields, "FonTypes"}};
  for (const auto& [table, name] : mirrors) designs.File(table)->SetName(path + "\\!" + name);
  int32_t code = Fill(*designs.File(I_Types), I_Types, types);
  if (code == 0) code = Fill(*designs.File(I_Bands), I_Bands, bands);
  if (code == 0) code = Fill(*designs.File(I_Fields), I_Fields, fields);
  if (code == 0) code = Fill(*designs.File(I_TypeFields), I_TypeFields, typeFields);
  // The mirrors go back to their own names for the update.
  for (const auto& [table, name] : mirrors) designs.File(table)->SetName(designs.TableName(table));
  return code;
}

}  // namespace ledora::layout
