#include "layout/shipped_design_update.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

#include "layout/clear_buffer.h"
#include "layout/design_database.h"
#include "layout/shipped_reports.h"
#include "runtime/system/runtime_error.h"
#include "runtime/values/fixed_string.h"

namespace ledora::layout {

namespace {

constexpr DesignTable kTables[] = {R_Types, R_Fields, R_TypeFields, R_Design, R_Content};
constexpr int kLockSeconds = 10;

bool SameContent(const ContentRecord& a, const ContentRecord& b) {
  return a.SEQUENCENUMBER == b.SEQUENCENUMBER && a.RECORDTYPE[0] == b.RECORDTYPE[0] &&
         a.BCTYPE == b.BCTYPE && std::memcmp(a.THEDATA, b.THEDATA, sizeof a.THEDATA) == 0;
}

bool SameContents(const std::vector<ContentRecord>& a, const std::vector<ContentRecord>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), SameContent);
}

class Update {
 public:
  Update(DesignDatabase& designs, const ShippedReports& shipped, const ShippedReports& earlier)
      : designs_(designs), shipped_(shipped), earlier_(earlier) {}

  bool UpToDate() { return MissingFields().empty(); }

  int32_t Run() {
    std::vector<const DataFieldRecord*> missing = MissingFields();
    if (missing.empty()) return 0;
    for (const DataFieldRecord* field : missing) {
      if (int32_t code = AddField(*field); code != 0) return code;
    }
    for (const ShippedDesign& design : shipped_.designs) {
      if (int32_t code = UpdateDesign(design); code != 0) return code;
    }
    return 0;
  }

 private:
  runtime::DataFile& File(DesignTable table) { return *designs_.File(table); }

  std::vector<const DataFieldRecord*> MissingFields() {
    std::vector<const DataFieldRecord*> missing;
    for (const DataFieldRecord& field : shipped_.fields) {
      ClearBuffer(R_Fields);
      std::memcpy(R_F.FIELDNAME, field.FIELDNAME, sizeof R_F.FIELDNAME);
      if (File(R_Fields).Fetch(DataFieldRecord::FIELDNAMEKEY) != 0) missing.push_back(&field);
    }
    return missing;
  }

  // The shipped number, unless the folder has given it to a field of its own.
  int32_t FreeFieldNumber(int32_t wanted) {
    ClearBuffer(R_Fields);
    R_F.FIELDNUMBER = wanted;
    if (File(R_Fields).Fetch(DataFieldRecord::FIELDNUMBERKEY) != 0) return wanted;
    int32_t highest = 0;
    File(R_Fields).SetOrder(DataFieldRecord::FIELDNUMBERKEY);
    while (File(R_Fields).Next() == 0) highest = std::max(highest, R_F.FIELDNUMBER);
    return highest + 1;
  }

  // The folder's number of a shipped report type, found by its name as the
  // report procedures find it.
  std::optional<int32_t> FolderType(int32_t shippedType) {
    for (const ReportTypeRecord& type : shipped_.types) {
      if (type.TYPENUMBER != shippedType) continue;
      ClearBuffer(R_Types);
      std::memcpy(R_T.TYPENAME, type.TYPENAME, sizeof R_T.TYPENAME);
      if (File(R_Types).Fetch(ReportTypeRecord::TYPENAMEKEY) == 0) return R_T.TYPENUMBER;
    }
    return std::nullopt;
  }

  int32_t AddField(const DataFieldRecord& field) {
    int32_t number = FreeFieldNumber(field.FIELDNUMBER);
    R_F = field;
    R_F.FIELDNUMBER = number;
    if (int32_t code = File(R_Fields).Add(); code != 0) return code;
    for (const TypeFieldRecord& pair : shipped_.typeFields) {
      if (pair.FIELDNUMBER != field.FIELDNUMBER) continue;
      std::optional<int32_t> type = FolderType(pair.TYPENUMBER);
      if (!type) continue;
      R_O = {*type, number};
      if (int32_t code = File(R_TypeFields).Add(); code != 0) return code;
    }
    return 0;
  }

  // The folder's design of that type and name into R_D; false when none.
  bool FindDesign(int32_t type, std::string_view name) {
    ClearBuffer(R_Design);
    R_D.TYPENUMBER = type;
    runtime::AssignPadded(R_D.DESIGNNAME, name);
    return File(R_Design).Fetch(DesignRecord::TYPEKEY) == 0;
  }

  std::vector<ContentRecord> ContentsOf(int32_t design) {
    std::vector<ContentRecord> contents;
    ClearBuffer(R_Content);
    R_C.DESIGNNUMBER = design;
    if (File(R_Content).SetOnKey(ContentRecord::DESIGNNUMBERSEQ) != 0) return contents;
    while (File(R_Content).Next() == 0 && R_C.DESIGNNUMBER == design) contents.push_back(R_C);
    return contents;
  }

  const ShippedDesign* EarlierDesign(const ShippedDesign& design) const {
    for (const ShippedDesign& old : earlier_.designs) {
      if (old.design.TYPENUMBER == design.design.TYPENUMBER &&
          std::memcmp(old.design.DESIGNNAME, design.design.DESIGNNAME,
                      sizeof old.design.DESIGNNAME) == 0) {
        return &old;
      }
    }
    return nullptr;
  }

  int32_t UpdateDesign(const ShippedDesign& design) {
    std::optional<int32_t> type = FolderType(design.design.TYPENUMBER);
    if (!type) return 0;
    std::string name(runtime::ClippedField(design.design.DESIGNNAME));
    if (!FindDesign(*type, name)) return AddDesign(design, *type, name);
    int32_t number = R_D.DESIGNNUMBER;
    std::vector<ContentRecord> present = ContentsOf(number);
    if (SameContents(present, design.contents)) return 0;
    const ShippedDesign* old = EarlierDesign(design);
    if (old != nullptr && SameContents(present, old->contents)) {
      return ReplaceContents(number, design.contents);
    }
    std::string beside =
        name.substr(0, sizeof R_D.DESIGNNAME - (sizeof kNewDesignSuffix - 1)) + kNewDesignSuffix;
    if (FindDesign(*type, beside)) return 0;
    return AddDesign(design, *type, beside);
  }

  int32_t ReplaceContents(int32_t number, const std::vector<ContentRecord>& contents) {
    ClearBuffer(R_Content);
    R_C.DESIGNNUMBER = number;
    runtime::DataFile& file = File(R_Content);
    if (int32_t code = file.SetOnKey(ContentRecord::DESIGNNUMBERSEQ); code != 0) return code;
    while (file.Next() == 0 && R_C.DESIGNNUMBER == number) {
      if (int32_t code = file.Delete(); code != 0) return code;
    }
    for (const ContentRecord& record : contents) {
      R_C = record;
      R_C.DESIGNNUMBER = number;
      if (int32_t code = file.Add(); code != 0) return code;
    }
    return 0;
  }

  int32_t AddDesign(const ShippedDesign& design, int32_t type, std::string_view name) {
    int32_t highest = 0;
    File(R_Design).SetOrder(DesignRecord::DESIGNNUMBERKEY);
    while (File(R_Design).Next() == 0) highest = std::max(highest, R_D.DESIGNNUMBER);
    ClearBuffer(R_Design);
    R_D.DESIGNNUMBER = highest + 1;
    R_D.TYPENUMBER = type;
    runtime::AssignPadded(R_D.DESIGNNAME, name);
    if (int32_t code = File(R_Design).Add(); code != 0) return code;
    return ReplaceContents(highest + 1, design.contents);
  }

  DesignDatabase& designs_;
  const ShippedReports& shipped_;
  const ShippedReports& earlier_;
};

}  // namespace

int32_t UpdateShippedDesigns(DesignDatabase& designs, const ShippedReports& shipped,
                             const ShippedReports& earlier) {
  std::vector<DesignTable> used;
  int32_t code = 0;
  for (DesignTable table : kTables) {
    if (!designs.Use(table, false)) {
      code = runtime::CurrentError().code;
      break;
    }
    used.push_back(table);
  }
  runtime::StorageDriver& driver = designs.File(R_Types)->driver();
  Update update(designs, shipped, earlier);
  bool framed = false;
  // Most starts find the folder up to date and take no write lock.
  if (code == 0 && !update.UpToDate()) {
    for (DesignTable table : kTables) driver.Mark(*designs.File(table));
    code = driver.Logout(kLockSeconds);
    framed = code == 0;
  }
  // Looked at again inside the transaction, so two stations starting at
  // once update the folder only once.
  if (framed) code = update.Run();
  if (framed) {
    if (code == 0) {
      code = driver.Commit();
    } else {
      runtime::ErrorState noted = runtime::CurrentError();
      driver.Rollback();
      runtime::SetFileError(noted.code, noted.fileErrorCode, noted.fileErrorText);
    }
  }
  for (auto table = used.rbegin(); table != used.rend(); ++table) designs.Release(*table);
  return code;
}

}  // namespace ledora::layout
