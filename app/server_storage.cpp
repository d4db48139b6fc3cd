#include "app/server_storage.h"

#include "runtime/system/runtime_error.h"

namespace ledora::app {

std::unique_ptr<runtime::StorageDriver> ConnectServer(const std::string& url,
                                                      const std::string& schema,
                                                      runtime::PgSchemaUse use,
                                                      std::ostream& errors) {
  auto driver = std::make_unique<runtime::PgDriver>();
  if (driver->Connect(url, schema, use) != 0) {
    errors << "ledora: cannot use the database: " << runtime::CurrentError().fileErrorText << "\n";
    return nullptr;
  }
  return driver;
}

}  // namespace ledora::app
