#include "tests/data/station.h"

#include <cstring>

#include "tests/data/test_driver.h"

namespace ledora::testing {

using runtime::FieldDescriptor;
using runtime::FileDeclaration;
using runtime::KeyDeclaration;
using runtime::RecordLayout;

namespace {

const RecordLayout& OwnerLayout() {
  static const RecordLayout layout(
      "OWN", sizeof(OwnerRecord),
      {{"OWN:ID", runtime::FieldLong, 0, 4, 0}, {"OWN:NAME", runtime::FieldString, 4, 20, 0}});
  return layout;
}

const RecordLayout& HeadLayout() {
  static const RecordLayout layout("HEA", sizeof(HeadRecord),
                                   {{"HEA:NUMBER", runtime::FieldLong, 0, 4, 0},
                                    {"HEA:OWNER", runtime::FieldLong, 4, 4, 0},
                                    {"HEA:NAME", runtime::FieldString, 8, 20, 0}});
  return layout;
}

const RecordLayout& LineLayout() {
  static const RecordLayout layout("LIN", sizeof(LineRecord),
                                   {{"LIN:HEAD", runtime::FieldLong, 0, 4, 0},
                                    {"LIN:LINE", runtime::FieldLong, 4, 4, 0},
                                    {"LIN:TEXT", runtime::FieldString, 8, 10, 0}});
  return layout;
}

KeyDeclaration Key(const char* label, std::vector<runtime::KeyComponent> components, bool unique,
                   bool primary = false) {
  KeyDeclaration key;
  key.label = label;
  key.components = std::move(components);
  key.unique = unique;
  key.primary = primary;
  key.noCase = true;
  key.optional = true;
  return key;
}

}  // namespace

Station::Station(const std::string& folder, data::ErrorReporter* errors)
    : ownDriver(MakeTestDriver(folder)), driver(*ownDriver) {
  FileDeclaration owner{"OWNERS", folder + "/OWNERS", &OwnerLayout(), &OWN, {}};
  owner.keys.push_back(Key("OWN:IDKEY", {{0}}, true, true));
  FileDeclaration head{"HEADS", folder + "/HEADS", &HeadLayout(), &HEA, {}};
  head.keys.push_back(Key("HEA:NUMBERKEY", {{0}}, true, true));
  head.keys.push_back(Key("HEA:NAMEKEY", {{2}}, true));
  head.keys.push_back(Key("HEA:OWNERKEY", {{1}, {0}}, false));
  head.keys.push_back(Key("HEA:RECENTKEY", {{0, true}}, false));
  FileDeclaration line{"LINES", folder + "/LINES", &LineLayout(), &LIN, {}};
  line.keys.push_back(Key("LIN:LINEKEY", {{0}, {1}}, true, true));

  ownersFile = driver.Declare(owner);
  headsFile = driver.Declare(head);
  linesFile = driver.Declare(line);
  owners.Initialize(ownersFile.get(), errors);
  owners.FILENAMEVALUE = "Owners";
  owners.LOCKRECOVER = 1;
  owners.AddKey(OwnerIdKey, "Owner id", 1);
  heads.Initialize(headsFile.get(), errors);
  heads.FILENAMEVALUE = "Heads";
  heads.LOCKRECOVER = 1;
  heads.AddKey(HeadNumberKey, "Head number", 1);
  heads.AddKey(HeadNameKey, "Head name");
  heads.AddKey(HeadOwnerKey, "Owner");
  lines.Initialize(linesFile.get(), errors);
  lines.FILENAMEVALUE = "Lines";
  lines.LOCKRECOVER = 1;
  lines.AddKey(LineNumberKey, "Line number", 2);
  ownersRelations.Initialize(&owners, true);
  headsRelations.Initialize(&heads, true);
  linesRelations.Initialize(&lines, true);
}

Station::~Station() {
  linesRelations.Shutdown();
  headsRelations.Shutdown();
  ownersRelations.Shutdown();
  lines.Shutdown();
  heads.Shutdown();
  owners.Shutdown();
}

void Station::Relate(uint8_t ownerUpdate, uint8_t ownerDelete, uint8_t headUpdate,
                     uint8_t headDelete) {
  ownersRelations.AddRelation(&headsRelations, ownerUpdate, ownerDelete, HeadOwnerKey);
  ownersRelations.AddRelationLink(runtime::FieldRef::Of(OWN.ID), runtime::FieldRef::Of(HEA.OWNER));
  headsRelations.AddRelation(&ownersRelations);
  headsRelations.AddRelation(&linesRelations, headUpdate, headDelete, LineNumberKey);
  headsRelations.AddRelationLink(runtime::FieldRef::Of(HEA.NUMBER),
                                 runtime::FieldRef::Of(LIN.HEAD));
  linesRelations.AddRelation(&headsRelations);
}

namespace {

// Primes a record, lets fill set its fields and inserts it.
template <typename Fill>
bool AddRecord(data::FileManager& manager, bool prime, Fill fill) {
  manager.Open();
  if (prime) {
    manager.PrimeRecord();
  } else {
    manager.ClearRecord();
  }
  fill();
  uint8_t result = manager.Insert();
  manager.Close();
  return result == 0;
}

}  // namespace

int32_t Station::AddOwner(const char* name) {
  return AddRecord(owners, true, [&] { SetText(OWN.NAME, name); }) ? OWN.ID : -1;
}

int32_t Station::AddHead(int32_t owner, const char* name) {
  bool added = AddRecord(heads, true, [&] {
    HEA.OWNER = owner;
    SetText(HEA.NAME, name);
  });
  return added ? HEA.NUMBER : -1;
}

int32_t Station::AddLine(int32_t head, const char* text) {
  bool added = AddRecord(lines, false, [&] {
    LIN.HEAD = head;
    SetText(LIN.TEXT, text);
  });
  return added ? LIN.LINE : -1;
}

int64_t Station::Count(runtime::DataFile& file) {
  bool wasOpen = file.IsOpen();
  if (!wasOpen && file.Open() != 0) return -1;
  int64_t count = file.Records();
  if (!wasOpen) file.Close();
  return count;
}

void SetText(char* field, size_t size, const char* text) {
  size_t length = std::min(size, std::strlen(text));
  std::memset(field, ' ', size);
  std::memcpy(field, text, length);
}

std::string Text(const char* field, size_t size) {
  std::string text(field, size);
  size_t end = text.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

}  // namespace ledora::testing
