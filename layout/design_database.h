// The design database as the designer and the report procedures reach it:
// the table names built from the two design file names, one data file per
// table with a use counter shared by every designer procedure, and the file
// managers with relation controllers through which deleting or renumbering
// a report type carries on to its designs. Start-up makes one, installs it
// (SetDesigns) and initialises and shuts down its managers.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "data/error_reporter.h"
#include "data/file_manager.h"
#include "data/relation_controller.h"
#include "layout/design_records.h"
#include "runtime/storage/storage_driver.h"

namespace ledora::layout {

class DesignDatabase {
 public:
  // How a table is opened for its first user. The designer installs its
  // guarded open; the default opens, and creates a missing table when
  // allowed, without any message.
  using Opener = std::function<bool(runtime::DataFile& file, uint8_t mode, bool create)>;

  // Name variables hold at most this many characters; longer names are cut.
  static constexpr size_t kNameSize = 255;

  // Declares every table on driver (which must outlive this object) under
  // the names built from the default file names. Nothing is opened.
  explicit DesignDatabase(runtime::StorageDriver& driver, Opener opener = {});
  ~DesignDatabase();
  DesignDatabase(const DesignDatabase&) = delete;
  DesignDatabase& operator=(const DesignDatabase&) = delete;

  // The definitions and designs file names; BuildTableNames reads them.
  std::string DefinitionsFile = "RptDes1.KDS";
  std::string DesignsFile = "NewRpt.KDS";

  // Builds the eight table names from the two file names and gives them to
  // the tables and managers; a table already open keeps its file until it
  // is closed.
  void BuildTableNames();
  // Names E_Design and E_Content after an export file.
  void SetExportFile(std::string_view fileName);
  const std::string& TableName(DesignTable table) const;

  // The table the designer's procedures read and write directly; nullptr
  // for a number outside DesignTable.
  runtime::DataFile* File(DesignTable table);

  // Use counters: the first use opens the table (read/write, shared unless
  // mode says otherwise), the last release closes it. False when the table
  // could not be opened; the count is then unchanged. Without create, the
  // definitions and import tables are not created, the others are.
  bool Use(DesignTable table);
  bool Use(DesignTable table, bool create, uint8_t mode = runtime::OpenReadWriteShared);
  void Release(DesignTable table);
  int UseCount(DesignTable table) const;

  // The file managers of R_Types, R_Design, R_StdDesign (in that order) and
  // R_Content, with their relation controllers: a report type cascades to
  // its designs and its standard design, and a design to its content
  // records. Initialising twice, or shutting down when not initialised,
  // does nothing.
  void InitializeManagers(data::ErrorReporter& errors);
  void ShutdownManagers();
  // nullptr for tables without a manager, and before initialisation.
  data::FileManager* Manager(DesignTable table);
  data::RelationController* Relations(DesignTable table);

 private:
  struct Managed;

  void SetName(DesignTable table, std::string name);
  Managed* FindManaged(DesignTable table);

  Opener opener_;
  std::array<std::string, kDesignTableCount> names_;
  std::array<std::unique_ptr<runtime::DataFile>, kDesignTableCount> files_;
  std::array<int, kDesignTableCount> uses_{};
  std::array<std::unique_ptr<Managed>, 4> managed_;
  bool managersUp_ = false;
};

// The process's design database; nullptr until start-up installs one.
DesignDatabase* Designs();
void SetDesigns(DesignDatabase* database);

}  // namespace ledora::layout
