#include "app/invoicing_dictionary.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "app/invoice_totals.h"
#include "data/message_table.h"
#include "runtime/system/runtime_error.h"
#include "runtime/values/fixed_string.h"

namespace ledora::app {

using runtime::FieldDescriptor;
using runtime::FieldRef;
using runtime::FileDeclaration;
using runtime::KeyDeclaration;
using runtime::RecordLayout;

CustomerRecord CUS{};
ItemRecord ITE{};
InvoiceRecord INV{};
InvoiceLineRecord INVL{};

data::FileManager* Access_CUSTOMER = nullptr;
data::FileManager* Access_ITEMS = nullptr;
data::FileManager* Access_INVOICES = nullptr;
data::FileManager* Access_INVOICEL = nullptr;
data::RelationController* Relate_CUSTOMER = nullptr;
data::RelationController* Relate_ITEMS = nullptr;
data::RelationController* Relate_INVOICES = nullptr;
data::RelationController* Relate_INVOICEL = nullptr;

namespace {

FieldDescriptor Long(const char* label, size_t offset) {
  return {label, runtime::FieldLong, static_cast<uint32_t>(offset), 4, 0};
}
FieldDescriptor Date(const char* label, size_t offset) {
  return {label, runtime::FieldDate, static_cast<uint32_t>(offset), 4, 0};
}
FieldDescriptor String(const char* label, size_t offset, size_t size) {
  return {label, runtime::FieldString, static_cast<uint32_t>(offset), static_cast<uint32_t>(size),
          0};
}
FieldDescriptor Money(const char* label, size_t offset) {
  return {label, runtime::FieldDecimal, static_cast<uint32_t>(offset), kMoneySize, kMoneyPlaces};
}

// Every invoicing key is case-insensitive and leaves out records whose key
// fields are all blank or zero.
KeyDeclaration Key(const char* label, std::vector<int> fields, bool unique, bool primary) {
  KeyDeclaration key;
  key.label = label;
  for (int field : fields) key.components.push_back({field, false});
  key.unique = unique;
  key.primary = primary;
  key.noCase = true;
  key.optional = true;
  return key;
}

struct Picture {
  const char* label;
  const char* picture;
};

constexpr Picture kPictures[] = {
    {"CUS:CUSTOMERID", "@n-13"}, {"CUS:NAME", "@s35"},        {"CUS:ADDRESS1", "@s30"},
    {"CUS:ADDRESS2", "@s30"},    {"CUS:TELEFON", "@s20"},     {"CUS:TELEFAX", "@s30"},
    {"ITE:ITEMNR", "@n-13"},     {"ITE:DESCRIPTION", "@s30"}, {"ITE:PRICE", "@n-13.2"},
    {"INV:NUMBER", "@n-13"},     {"INV:CUSTOMERID", "@n-13"}, {"INV:INVOICEDATE", "@d17"},
    {"INV:SALES", "@n-13.2"},    {"INVL:INVOICENR", "@n-13"}, {"INVL:LINENR", "@n-13"},
    {"INVL:ITEMNR", "@n-13"},    {"INVL:QUANTITY", "@n-13"},  {"INVL:PRICE", "@n-13.2"},
};

// A controller of the dictionary ends its file manager first and clears the
// global reference to it, so no procedure reaches a manager that is gone.
class DictionaryController : public data::RelationController {
 public:
  explicit DictionaryController(data::FileManager** global) : global_(global) {}
  void Shutdown() override {
    if (ME != nullptr) ME->Shutdown();
    *global_ = nullptr;
    data::RelationController::Shutdown();
  }
  // A new invoice's lines are added under its reserved number from the form's
  // own list; cancelling the invoice must take exactly those lines along.
  data::Severity CancelAutoInc() override {
    if (cancelTakes_ == nullptr) return data::RelationController::CancelAutoInc();
    return CancelAutoIncWith(cancelTakes_);
  }
  void CancelTakes(data::RelationController* dependants) { cancelTakes_ = dependants; }

 private:
  data::FileManager** global_;
  data::RelationController* cancelTakes_ = nullptr;
};

struct DictionaryFile {
  DictionaryFile(data::FileManager** access, data::RelationController** relate)
      : controller(access), accessGlobal(access), relateGlobal(relate) {}

  std::unique_ptr<runtime::DataFile> file;
  data::FileManager manager;
  DictionaryController controller;
  data::FileManager** accessGlobal;
  data::RelationController** relateGlobal;
};

struct Dictionary {
  DictionaryFile invoices{&Access_INVOICES, &Relate_INVOICES};
  DictionaryFile items{&Access_ITEMS, &Relate_ITEMS};
  DictionaryFile customers{&Access_CUSTOMER, &Relate_CUSTOMER};
  DictionaryFile lines{&Access_INVOICEL, &Relate_INVOICEL};
  InvoiceTotals totals;

  // Set-up and shut-down order.
  std::vector<DictionaryFile*> InOrder() { return {&invoices, &items, &customers, &lines}; }
};

// Never destroyed: a program that halts without the shut-down must not tear
// the managers down after the runtime they use is gone.
std::unique_ptr<Dictionary>& TheDictionary() {
  static auto& dictionary = *new std::unique_ptr<Dictionary>();
  return dictionary;
}

FileDeclaration Declaration(const char* label, const RecordLayout& layout, void* buffer,
                            std::vector<KeyDeclaration> keys) {
  FileDeclaration declaration;
  declaration.label = label;
  declaration.name = label;
  declaration.layout = &layout;
  declaration.buffer = buffer;
  declaration.keys = std::move(keys);
  return declaration;
}

// The settings every invoicing file shares; keys follow per file.
void InitializeManager(DictionaryFile& entry, data::ErrorReporter& errors, const char* display,
                       bool perThread) {
  data::FileManager& manager = entry.manager;
  manager.Initialize(entry.file.get(), &errors);
  manager.SetPerThread(perThread);
  manager.FILENAMEVALUE = display;
  manager.CREATE = 1;
  manager.LOCKRECOVER = 10;
}

// A reserved invoice that a dead station left goes only without lines: the
// lines typed into its form stay with it.
bool InvoiceWithoutLines() {
  data::FileManager& lines = *Access_INVOICEL;
  if (lines.Open() != data::SeverityNone) return false;
  bool none = false;
  if (lines.MakeUsable() == data::SeverityNone) {
    int32_t number = INV.NUMBER;
    uint16_t state = lines.SaveFileState();
    lines.ClearRecord();
    INVL.INVOICENR = number;
    if (lines.SetOnKey(InvoiceLineRecord::LINENRKEY) == runtime::ErrorNone) {
      data::Severity read = lines.NextQuietly();
      none = read == data::SeverityNone ? INVL.INVOICENR != number : lines.AtEnd();
    }
    lines.RestoreFileState(state);
  }
  lines.Close();
  return none;
}

void InitializeInvoices(Dictionary& d, data::ErrorReporter& errors) {
  InitializeManager(d.invoices, errors, "Invoices", true);
  d.invoices.manager.AddKey(InvoiceRecord::NUMBERKEY, "Invoice numer", 1);
  d.invoices.manager.AddKey(InvoiceRecord::CUSTOMERKEY, "Customer");
  d.invoices.manager.AddKey(InvoiceRecord::DATEKEY, "Invoice date");
  d.invoices.controller.Initialize(&d.invoices.manager, true);
  d.invoices.controller.AddRelation(&d.customers.controller);
  d.invoices.controller.AddRelation(&d.lines.controller, data::RuleNone, data::RuleNone,
                                    InvoiceLineRecord::LINENRKEY);
  d.invoices.controller.AddRelationLink(FieldRef::Of(INV.NUMBER), FieldRef::Of(INVL.INVOICENR));
  d.invoices.controller.CancelTakes(&d.lines.controller);
  d.invoices.manager.SetTakeBackTest(InvoiceWithoutLines);
}

void InitializeItems(Dictionary& d, data::ErrorReporter& errors) {
  InitializeManager(d.items, errors, "Items", false);
  d.items.manager.AddKey(ItemRecord::ITEMNRKEY, "Item number", 1);
  d.items.manager.AddKey(ItemRecord::DESCRIPTIONKEY, "Description");
  d.items.controller.Initialize(&d.items.manager, true);
  // An item the invoice lines sell stays; the lines have no key on it, so
  // they are searched in record order.
  d.items.controller.AddRelation(&d.lines.controller, data::RuleNone, data::RuleRestrict,
                                 runtime::kRecordOrder);
  d.items.controller.AddRelationLink(FieldRef::Of(ITE.ITEMNR), FieldRef::Of(INVL.ITEMNR));
}

void InitializeCustomers(Dictionary& d, data::ErrorReporter& errors) {
  InitializeManager(d.customers, errors, "Customers", true);
  d.customers.manager.AddKey(CustomerRecord::IDKEY, "ID number", 1);
  d.customers.manager.AddKey(CustomerRecord::NAMEADDRESSKEY, "Name and Address");
  d.customers.controller.Initialize(&d.customers.manager, true);
  // A customer with invoices stays, so no invoice loses its customer.
  d.customers.controller.AddRelation(&d.invoices.controller, data::RuleNone, data::RuleRestrict,
                                     InvoiceRecord::CUSTOMERKEY);
  d.customers.controller.AddRelationLink(FieldRef::Of(CUS.CUSTOMERID),
                                         FieldRef::Of(INV.CUSTOMERID));
}

void InitializeLines(Dictionary& d, data::ErrorReporter& errors) {
  InitializeManager(d.lines, errors, "InvoiceLines", true);
  d.lines.manager.AddKey(InvoiceLineRecord::LINENRKEY, "Invoice line number", 2);
  d.lines.controller.Initialize(&d.lines.manager, true);
  d.lines.controller.AddRelation(&d.invoices.controller);
  d.lines.controller.SetFollower(&d.totals);
}

// The counts of a refused delete extend a default text; added once per
// reporter, as a second copy would quote the first instead of the default.
void AddMessages(data::ErrorReporter& errors) {
  std::span<const uint8_t> added = data::AddedMessageTable();
  std::vector<data::MessageEntry> entries;
  data::ReadMessageTable(added, &entries);
  for (const data::MessageEntry& entry : errors.MESSAGES) {
    if (!entries.empty() && entry.text.data() == entries.front().text.data()) return;
  }
  errors.AddMessages(added);
}

void DeclareFiles(Dictionary& d, runtime::StorageDriver& driver) {
  d.customers.file = driver.Declare(Declaration(
      "CUSTOMER", CustomerLayout(), &CUS,
      {Key("CUS:IDKEY", {0}, true, true), Key("CUS:NAMEADDRESSKEY", {1, 2, 3}, false, false)}));
  d.items.file = driver.Declare(Declaration(
      "ITEMS", ItemLayout(), &ITE,
      {Key("ITE:ITEMNRKEY", {0}, true, true), Key("ITE:DESCRIPTIONKEY", {1}, false, false)}));
  d.invoices.file = driver.Declare(Declaration(
      "INVOICES", InvoiceLayout(), &INV,
      {Key("INV:NUMBERKEY", {0}, true, true), Key("INV:CUSTOMERKEY", {1, 0}, false, false),
       Key("INV:DATEKEY", {2, 0}, false, false)}));
  d.lines.file = driver.Declare(Declaration("INVOICEL", InvoiceLineLayout(), &INVL,
                                            {Key("INVL:LINENRKEY", {0, 1}, true, true)}));
}

}  // namespace

const RecordLayout& CustomerLayout() {
  static const RecordLayout layout(
      "CUS", sizeof(CustomerRecord),
      {Long("CUS:CUSTOMERID", offsetof(CustomerRecord, CUSTOMERID)),
       String("CUS:NAME", offsetof(CustomerRecord, NAME), sizeof CUS.NAME),
       String("CUS:ADDRESS1", offsetof(CustomerRecord, ADDRESS1), sizeof CUS.ADDRESS1),
       String("CUS:ADDRESS2", offsetof(CustomerRecord, ADDRESS2), sizeof CUS.ADDRESS2),
       String("CUS:TELEFON", offsetof(CustomerRecord, TELEFON), sizeof CUS.TELEFON),
       String("CUS:TELEFAX", offsetof(CustomerRecord, TELEFAX), sizeof CUS.TELEFAX)});
  return layout;
}

const RecordLayout& ItemLayout() {
  static const RecordLayout layout(
      "ITE", sizeof(ItemRecord),
      {Long("ITE:ITEMNR", offsetof(ItemRecord, ITEMNR)),
       String("ITE:DESCRIPTION", offsetof(ItemRecord, DESCRIPTION), sizeof ITE.DESCRIPTION),
       Money("ITE:PRICE", offsetof(ItemRecord, PRICE))});
  return layout;
}

const RecordLayout& InvoiceLayout() {
  static const RecordLayout layout("INV", sizeof(InvoiceRecord),
                                   {Long("INV:NUMBER", offsetof(InvoiceRecord, NUMBER)),
                                    Long("INV:CUSTOMERID", offsetof(InvoiceRecord, CUSTOMERID)),
                                    Date("INV:INVOICEDATE", offsetof(InvoiceRecord, INVOICEDATE)),
                                    Money("INV:SALES", offsetof(InvoiceRecord, SALES))});
  return layout;
}

const RecordLayout& InvoiceLineLayout() {
  static const RecordLayout layout("INVL", sizeof(InvoiceLineRecord),
                                   {Long("INVL:INVOICENR", offsetof(InvoiceLineRecord, INVOICENR)),
                                    Long("INVL:LINENR", offsetof(InvoiceLineRecord, LINENR)),
                                    Long("INVL:ITEMNR", offsetof(InvoiceLineRecord, ITEMNR)),
                                    Long("INVL:QUANTITY", offsetof(InvoiceLineRecord, QUANTITY)),
                                    Money("INVL:PRICE", offsetof(InvoiceLineRecord, PRICE))});
  return layout;
}

bool DictionarySetup(runtime::StorageDriver& driver, data::ErrorReporter& errors) {
  std::unique_ptr<Dictionary>& dictionary = TheDictionary();
  if (dictionary) return false;
  dictionary = std::make_unique<Dictionary>();
  Dictionary& d = *dictionary;
  DeclareFiles(d, driver);
  // Published before any initialisation, so relations can point at each other.
  for (DictionaryFile* entry : d.InOrder()) *entry->relateGlobal = &entry->controller;
  InitializeInvoices(d, errors);
  InitializeItems(d, errors);
  InitializeCustomers(d, errors);
  InitializeLines(d, errors);
  AddMessages(errors);
  for (DictionaryFile* entry : d.InOrder()) *entry->accessGlobal = &entry->manager;
  return true;
}

void DictionaryShutdown() {
  std::unique_ptr<Dictionary>& dictionary = TheDictionary();
  if (!dictionary) return;
  for (DictionaryFile* entry : dictionary->InOrder()) {
    entry->controller.Shutdown();
    *entry->relateGlobal = nullptr;
  }
  dictionary.reset();
}

std::string_view FieldPicture(std::string_view label) {
  for (const Picture& entry : kPictures) {
    if (runtime::EqualNoCase(entry.label, label)) return entry.picture;
  }
  return {};
}

}  // namespace ledora::app
