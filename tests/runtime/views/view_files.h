// Customers and invoices in real KDS files for the view tests, with their
// fields bound by name so that filters can read them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "runtime/expr/name_table.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/values/fixed_string.h"
#include "runtime/values/record_layout.h"
#include "tests/support/temp_folder.h"

namespace ledora::testing {

#pragma pack(push, 1)
struct CustomerRecord {
  int32_t number;
  char name[20];
  char city[12];
  uint8_t balance[5];
};
struct InvoiceRecord {
  int32_t number;
  int32_t customer;
};
#pragma pack(pop)

enum CustomerKey { CustomerNumberKey, CustomerNameKey, CustomerCityKey };

inline const runtime::RecordLayout& CustomerLayout() {
  using runtime::FieldDescriptor;
  static const runtime::RecordLayout layout(
      "CUS", sizeof(CustomerRecord),
      {FieldDescriptor{"CUS:NUMBER", runtime::FieldLong, offsetof(CustomerRecord, number), 4, 0},
       FieldDescriptor{"CUS:NAME", runtime::FieldString, offsetof(CustomerRecord, name), 20, 0},
       FieldDescriptor{"CUS:CITY", runtime::FieldString, offsetof(CustomerRecord, city), 12, 0},
       FieldDescriptor{"CUS:BALANCE", runtime::FieldDecimal, offsetof(CustomerRecord, balance), 5,
                       2}});
  return layout;
}

inline const runtime::RecordLayout& InvoiceLayout() {
  using runtime::FieldDescriptor;
  static const runtime::RecordLayout layout(
      "INV", sizeof(InvoiceRecord),
      {FieldDescriptor{"INV:NUMBER", runtime::FieldLong, offsetof(InvoiceRecord, number), 4, 0},
       FieldDescriptor{"INV:CUSTOMER", runtime::FieldLong, offsetof(InvoiceRecord, customer), 4,
                       0}});
  return layout;
}

// One station's files: its own driver, its own record buffers.
class Station {
 public:
  explicit Station(const TempFolder& folder) {
    runtime::FileDeclaration customers;
    customers.label = "CUSTOMER";
    customers.name = folder.File("CUSTOMER.KDS");
    customers.layout = &CustomerLayout();
    customers.buffer = &cus;
    customers.keys = {
        {"CUS:NUMBERKEY", {{0, false}}, true, true, false, false},
        {"CUS:NAMEKEY", {{1, false}}, false, false, true, false},
        {"CUS:CITYKEY", {{2, false}, {0, true}}, false, false, false, false},
    };
    customers_ = driver_.Declare(customers);
    runtime::FileDeclaration invoices;
    invoices.label = "INVOICES";
    invoices.name = folder.File("INVOICES.KDS");
    invoices.layout = &InvoiceLayout();
    invoices.buffer = &inv;
    invoices.keys = {{"INV:NUMBERKEY", {{0, false}}, true, true, false, false}};
    invoices_ = driver_.Declare(invoices);
  }

  // Creates the files when missing and opens them.
  void Open() {
    for (runtime::DataFile* file : {customers_.get(), invoices_.get()}) {
      if (file->Open() == runtime::ErrorFileNotFound) {
        file->Create();
        file->Open();
      }
    }
  }

  void AddCustomer(int32_t number, const char* name, const char* city, int64_t cents = 0) {
    memset(&cus, 0, sizeof cus);
    cus.number = number;
    runtime::AssignPadded(cus.name, name);
    runtime::AssignPadded(cus.city, city);
    runtime::PackDecimal(runtime::Decimal::FromUnits(cents, 2), cus.balance, 5, 2);
    customers_->Add();
  }
  void AddInvoice(int32_t number, int32_t customer) {
    inv.number = number;
    inv.customer = customer;
    invoices_->Add();
  }

  // Adds made between these two go in one transaction, so that large test
  // files take moments.
  void BeginBatch() {
    driver_.Mark(*customers_);
    driver_.Mark(*invoices_);
    driver_.Logout(5);
  }
  void EndBatch() { driver_.Commit(); }

  // Makes this station's buffers the ones expressions read.
  void BindNames() {
    runtime::BoundNames().BindRecord(CustomerLayout(), &cus);
    runtime::BoundNames().BindRecord(InvoiceLayout(), &inv);
  }

  runtime::DataFile& customers() { return *customers_; }
  runtime::DataFile& invoices() { return *invoices_; }
  std::string Name() const { return std::string(runtime::ClippedField(cus.name)); }

  // Aligned so that the tests can bind references to the number fields.
  alignas(8) CustomerRecord cus{};
  alignas(8) InvoiceRecord inv{};

 private:
  runtime::SqliteDriver driver_;
  std::unique_ptr<runtime::DataFile> customers_;
  std::unique_ptr<runtime::DataFile> invoices_;
};

}  // namespace ledora::testing
