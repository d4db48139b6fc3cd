// The PostgreSQL side of the storage choice, kept apart so that a program
// which never works on a server links no libpq: the full program (and every
// test) takes server_storage.cpp from the app library, while `ledora`, the
// jobs program, links no_server_storage.cpp in its place and hands a server
// to the full program before it would get here.
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "runtime/storage/pg_driver.h"
#include "runtime/storage/storage_driver.h"

namespace ledora::app {

// A driver connected to the data set schema on the server of a libpq URL,
// or null after a message on errors that names what could not be used.
std::unique_ptr<runtime::StorageDriver> ConnectServer(const std::string& url,
                                                      const std::string& schema,
                                                      runtime::PgSchemaUse use,
                                                      std::ostream& errors);

}  // namespace ledora::app
