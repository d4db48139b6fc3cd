// The invoicing dictionary: declares the four invoicing files with their
// keys, and sets up one file manager and one relation controller per file.
// Start-up calls DictionarySetup before the main frame runs and
// DictionaryShutdown after it closed; every browse, form and report
// procedure then works through the global managers and controllers below.
#pragma once

#include <string_view>

#include "app/invoicing_records.h"
#include "data/error_reporter.h"
#include "data/file_manager.h"
#include "data/relation_controller.h"
#include "runtime/storage/storage_driver.h"

namespace ledora::app {

// The file managers and relation controllers of the four files; nullptr
// outside set-up and shut-down.
extern data::FileManager* Access_CUSTOMER;
extern data::FileManager* Access_ITEMS;
extern data::FileManager* Access_INVOICES;
extern data::FileManager* Access_INVOICEL;
extern data::RelationController* Relate_CUSTOMER;
extern data::RelationController* Relate_ITEMS;
extern data::RelationController* Relate_INVOICES;
extern data::RelationController* Relate_INVOICEL;

// Declares the files "CUSTOMER", "ITEMS", "INVOICES" and "INVOICEL" (in the
// current folder, extension ".KDS") on driver, which must outlive the
// dictionary, and initialises the controllers in the order INVOICES, ITEMS,
// CUSTOMER, INVOICEL. Nothing is opened. False when the dictionary is
// already set up (the existing one stays).
bool DictionarySetup(runtime::StorageDriver& driver, data::ErrorReporter& errors);
// Ends the controllers (each ending its file manager) in the set-up order
// and clears the globals. Does nothing when not set up.
void DictionaryShutdown();

// The picture the update forms use for a field label ("CUS:NAME" gives
// "@s35"); empty for a label the dictionary does not know.
std::string_view FieldPicture(std::string_view label);

}  // namespace ledora::app
