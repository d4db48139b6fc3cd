// Three small related files for data-layer tests, as one station sees them:
// owners (auto-numbered), heads of an owner (auto-numbered, unique optional
// name) and lines of a head (numbered within their head). Each Station has
// its own driver, so two Stations on one folder are two stations.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "data/error_reporter.h"
#include "data/file_manager.h"
#include "data/relation_controller.h"
#include "runtime/storage/storage_driver.h"

namespace ledora::testing {

#pragma pack(push, 1)
struct OwnerRecord {
  int32_t ID;
  char NAME[20];
};
struct HeadRecord {
  int32_t NUMBER;
  int32_t OWNER;
  char NAME[20];
};
struct LineRecord {
  int32_t HEAD;
  int32_t LINE;
  char TEXT[10];
};
#pragma pack(pop)

enum OwnerKeys { OwnerIdKey = 0 };
enum HeadKeys { HeadNumberKey = 0, HeadNameKey = 1, HeadOwnerKey = 2, HeadRecentKey = 3 };
enum LineKeys { LineNumberKey = 0 };

class Station {
 public:
  // Declares the files in folder; nothing is opened yet.
  Station(const std::string& folder, data::ErrorReporter* errors);
  ~Station();

  // owners -> heads (by HEA:OWNERKEY) and heads -> lines (by LIN:LINEKEY)
  // with the given rules; each child names its parent as a plain relation.
  void Relate(uint8_t ownerUpdate, uint8_t ownerDelete, uint8_t headUpdate, uint8_t headDelete);

  // Adds records through the managers (files opened and closed around).
  int32_t AddOwner(const char* name);
  int32_t AddHead(int32_t owner, const char* name);
  int32_t AddLine(int32_t head, const char* text);
  int64_t Count(runtime::DataFile& file);

  OwnerRecord OWN{};
  HeadRecord HEA{};
  LineRecord LIN{};
  std::unique_ptr<runtime::StorageDriver> ownDriver;
  runtime::StorageDriver& driver;
  std::unique_ptr<runtime::DataFile> ownersFile;
  std::unique_ptr<runtime::DataFile> headsFile;
  std::unique_ptr<runtime::DataFile> linesFile;
  data::FileManager owners;
  data::FileManager heads;
  data::FileManager lines;
  data::RelationController ownersRelations;
  data::RelationController headsRelations;
  data::RelationController linesRelations;
};

void SetText(char* field, size_t size, const char* text);
template <size_t N>
void SetText(char (&field)[N], const char* text) {
  SetText(field, N, text);
}
std::string Text(const char* field, size_t size);
template <size_t N>
std::string Text(const char (&field)[N]) {
  return Text(field, N);
}

}  // namespace ledora::testing
