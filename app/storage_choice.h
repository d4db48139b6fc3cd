// Which storage the program and its jobs run on: the KDS files of the data
// folder, or a PostgreSQL database named by a URL. The URL comes from
// `--database URL` on the command line (ChooseDatabase passes it on as
// LEDORA_DATABASE), else the environment variable LEDORA_DATABASE, else a
// "Database=" line in section "Storage" of the data folder's ledora.INI;
// none of them means the KDS files. A URL may name the data set's schema
// with "schema=NAME" among its parameters (default "ledora").
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "runtime/storage/pg_driver.h"
#include "runtime/storage/storage_driver.h"

namespace ledora::app {

inline constexpr char kDatabaseVariable[] = "LEDORA_DATABASE";

// The command line's choice, which comes before all others.
void ChooseDatabase(const std::string& url);

// The chosen URL for a data folder (empty: the current folder); empty for
// the KDS files.
std::string ChosenDatabase(const std::string& dataFolder = "");

// A driver on the given storage (empty URL: the KDS files), or null after a
// message on errors that names the server or the data set that could not be
// used. A job that only reads finds its data set on a server
// (PgSchemaMustExist) rather than make it.
std::unique_ptr<runtime::StorageDriver> OpenStorage(
    const std::string& url, std::ostream& errors, runtime::PgSchemaUse use = runtime::PgMakeSchema);
// OpenStorage on the chosen storage.
std::unique_ptr<runtime::StorageDriver> OpenChosenStorage(
    std::ostream& errors, runtime::PgSchemaUse use = runtime::PgMakeSchema);

}  // namespace ledora::app
