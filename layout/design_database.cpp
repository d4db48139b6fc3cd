#include "layout/design_database.h"

#include "runtime/system/runtime_error.h"
#include "runtime/values/fixed_string.h"

namespace ledora::layout {

using runtime::FieldRef;

namespace {

DesignDatabase* installed = nullptr;

bool Known(DesignTable table) { return table >= 0 && table < kDesignTableCount; }

std::string Cut(std::string text) {
  if (text.size() > DesignDatabase::kNameSize) text.resize(DesignDatabase::kNameSize);
  return text;
}

std::string Built(std::string_view base, const char* table) {
  return Cut(std::string(runtime::Clip(base)) + "\\!" + table);
}

bool Creatable(DesignTable table) {
  return table == R_Design || table == R_Content || table == R_StdDesign || table == E_Design ||
         table == E_Content;
}

bool PlainOpen(runtime::DataFile& file, uint8_t mode, bool create) {
  int32_t code = file.Open(mode);
  if (code == runtime::ErrorFileNotFound && create &&
      file.CreateIfMissing() == runtime::ErrorNone) {
    code = file.Open(mode);
  }
  // Designs on a read-only mount or in a folder of another user still
  // print; a write is refused when it comes.
  if (code == runtime::ErrorAccessDenied && (mode & 3) != runtime::AccessReadOnly) {
    code = file.Open(static_cast<uint8_t>((mode & ~3) | runtime::AccessReadOnly));
  }
  return code == runtime::ErrorNone || code == runtime::ErrorFileAlreadyOpen;
}

runtime::FileDeclaration Declaration(DesignTable table) {
  runtime::FileDeclaration declaration;
  declaration.label = std::string(DesignTableLabel(table));
  declaration.layout = &DesignTableLayout(table);
  declaration.buffer = DesignTableBuffer(table);
  declaration.keys = DesignTableKeys(table);
  return declaration;
}

}  // namespace

// A table that the application also reaches through a file manager. The
// manager has a data file of its own, so closing it never closes the table
// under a designer procedure that still uses it.
struct DesignDatabase::Managed {
  DesignTable table;
  std::unique_ptr<runtime::DataFile> file;
  data::FileManager manager;
  data::RelationController controller;
};

DesignDatabase::DesignDatabase(runtime::StorageDriver& driver, Opener opener)
    : opener_(opener ? std::move(opener) : Opener(PlainOpen)) {
  for (int i = 0; i < kDesignTableCount; ++i) {
    files_[i] = driver.Declare(Declaration(static_cast<DesignTable>(i)));
  }
  const DesignTable managed[] = {R_Types, R_Design, R_StdDesign, R_Content};
  for (size_t i = 0; i < managed_.size(); ++i) {
    managed_[i] = std::make_unique<Managed>();
    managed_[i]->table = managed[i];
    managed_[i]->file = driver.Declare(Declaration(managed[i]));
  }
  SetName(I_Types, "RptNew1\\!LTypes");
  SetName(I_Bands, "RptNew1\\!BonTypes");
  SetName(I_Fields, "RptNew1\\!AllFields");
  SetName(I_TypeFields, "RptNew1\\!FonTypes");
  BuildTableNames();
}

DesignDatabase::~DesignDatabase() {
  ShutdownManagers();
  for (auto& file : files_) file->Close();
  if (installed == this) installed = nullptr;
}

void DesignDatabase::SetName(DesignTable table, std::string name) {
  names_[table] = Cut(std::move(name));
  files_[table]->SetName(names_[table]);
  if (Managed* managed = FindManaged(table)) managed->file->SetName(names_[table]);
}

void DesignDatabase::BuildTableNames() {
  DefinitionsFile = Cut(DefinitionsFile);
  DesignsFile = Cut(DesignsFile);
  SetName(R_Bands, Built(DefinitionsFile, "BonTypes"));
  SetName(R_Fields, Built(DefinitionsFile, "AllFields"));
  SetName(R_TypeFields, Built(DefinitionsFile, "FonTypes"));
  SetName(R_Pformats, Built(DefinitionsFile, "PaperFor"));
  SetName(R_Types, Built(DefinitionsFile, "LTypes"));
  SetName(R_Content, Built(DesignsFile, "Contents"));
  SetName(R_Design, Built(DesignsFile, "Layouts"));
  SetName(R_StdDesign, Built(DesignsFile, "StdDesign"));
}

void DesignDatabase::SetExportFile(std::string_view fileName) {
  std::string file = Cut(std::string(fileName));
  SetName(E_Design, Built(file, "E_Design"));
  SetName(E_Content, Built(file, "E_Content"));
}

const std::string& DesignDatabase::TableName(DesignTable table) const {
  static const std::string none;
  return Known(table) ? names_[table] : none;
}

runtime::DataFile* DesignDatabase::File(DesignTable table) {
  return Known(table) ? files_[table].get() : nullptr;
}

bool DesignDatabase::Use(DesignTable table) { return Use(table, Creatable(table)); }

bool DesignDatabase::Use(DesignTable table, bool create, uint8_t mode) {
  if (!Known(table)) return false;
  if (uses_[table] == 0 && !opener_(*files_[table], mode, create)) return false;
  ++uses_[table];
  return true;
}

void DesignDatabase::Release(DesignTable table) {
  if (!Known(table) || uses_[table] == 0) return;
  if (--uses_[table] == 0) files_[table]->Close();
}

int DesignDatabase::UseCount(DesignTable table) const { return Known(table) ? uses_[table] : 0; }

DesignDatabase::Managed* DesignDatabase::FindManaged(DesignTable table) {
  for (auto& managed : managed_) {
    if (managed && managed->table == table) return managed.get();
  }
  return nullptr;
}

data::FileManager* DesignDatabase::Manager(DesignTable table) {
  Managed* managed = managersUp_ ? FindManaged(table) : nullptr;
  return managed != nullptr ? &managed->manager : nullptr;
}

data::RelationController* DesignDatabase::Relations(DesignTable table) {
  Managed* managed = managersUp_ ? FindManaged(table) : nullptr;
  return managed != nullptr ? &managed->controller : nullptr;
}

void DesignDatabase::InitializeManagers(data::ErrorReporter& errors) {
  if (managersUp_) return;
  for (auto& managed : managed_) {
    data::FileManager& manager = managed->manager;
    manager.Initialize(managed->file.get(), &errors);
    manager.FILENAME = &names_[managed->table];
    manager.CREATE = managed->table == R_Types ? 0 : 1;
    managed->controller.Initialize(&manager, true);
  }
  Managed& types = *FindManaged(R_Types);
  Managed& designs = *FindManaged(R_Design);
  Managed& standard = *FindManaged(R_StdDesign);
  Managed& contents = *FindManaged(R_Content);
  types.manager.AddKey(ReportTypeRecord::TYPENUMBERKEY, "R_T:TypeNumberKey", 1);
  types.manager.AddKey(ReportTypeRecord::TYPENAMEKEY, "Report typename order");
  designs.manager.AddKey(DesignRecord::DESIGNNUMBERKEY, "R_D:DesignNumberKey", 1);
  designs.manager.AddKey(DesignRecord::TYPEKEY, "Report type order");
  standard.manager.AddKey(StdDesignRecord::TYPENUMBERKEY, "R_S:TypeNumberKey");
  contents.manager.AddKey(ContentRecord::DESIGNNUMBERKEY, "R_C:DesignNumberKey");
  contents.manager.AddKey(ContentRecord::DESIGNNUMBERSEQ, "R_C:DesignNumberSeq");

  types.controller.AddRelation(&standard.controller, data::RuleCascade, data::RuleCascade,
                               StdDesignRecord::TYPENUMBERKEY);
  types.controller.AddRelationLink(FieldRef::Of(R_T.TYPENUMBER), FieldRef::Of(R_S.TYPENR));
  types.controller.AddRelation(&designs.controller, data::RuleCascade, data::RuleCascade,
                               DesignRecord::TYPEKEY);
  types.controller.AddRelationLink(FieldRef::Of(R_T.TYPENUMBER), FieldRef::Of(R_D.TYPENUMBER));
  // Content records left behind by a deleted design would be taken over by
  // the next design given the same number.
  designs.controller.AddRelation(&contents.controller, data::RuleCascade, data::RuleCascade,
                                 ContentRecord::DESIGNNUMBERSEQ);
  designs.controller.AddRelationLink(FieldRef::Of(R_D.DESIGNNUMBER),
                                     FieldRef::Of(R_C.DESIGNNUMBER));
  managersUp_ = true;
}

void DesignDatabase::ShutdownManagers() {
  if (!managersUp_) return;
  managersUp_ = false;
  for (auto& managed : managed_) {
    managed->controller.Shutdown();
    managed->manager.Shutdown();
    managed->file->Close();
  }
}

DesignDatabase* Designs() { return installed; }

void SetDesigns(DesignDatabase* database) { installed = database; }

}  // namespace ledora::layout
