#include "app/storage_choice.h"

#include <cstdlib>

#include "app/program.h"
#include "app/server_storage.h"
#include "runtime/ini/ini_file.h"
#include "runtime/storage/sqlite_driver.h"

namespace ledora::app {

void ChooseDatabase(const std::string& url) { setenv(kDatabaseVariable, url.c_str(), 1); }

std::string ChosenDatabase(const std::string& dataFolder) {
  const char* variable = std::getenv(kDatabaseVariable);
  if (variable != nullptr && *variable != '\0') return variable;
  std::string settings = dataFolder.empty() ? kSettingsFile : dataFolder + "/" + kSettingsFile;
  std::optional<std::string> line = runtime::ReadIniValue(settings, "Storage", "Database");
  return line.value_or("");
}

namespace {

// A data set is a schema; "schema=NAME" among the URL's parameters names
// it (libpq itself knows no such parameter). Default "ledora".
std::string TakeSchema(std::string& url) {
  size_t query = url.find('?');
  if (query == std::string::npos) return "ledora";
  std::string schema = "ledora";
  size_t at = query + 1;
  while (at < url.size()) {
    size_t end = url.find('&', at);
    if (end == std::string::npos) end = url.size();
    if (url.compare(at, 7, "schema=") == 0) {
      schema = url.substr(at + 7, end - at - 7);
      url.erase(at, end + 1 - at);
      continue;
    }
    at = end + 1;
  }
  while (!url.empty() && (url.back() == '&' || url.back() == '?')) url.pop_back();
  return schema.empty() ? "ledora" : schema;
}

}  // namespace

std::unique_ptr<runtime::StorageDriver> OpenStorage(const std::string& url, std::ostream& errors,
                                                    runtime::PgSchemaUse use) {
  if (url.empty()) return std::make_unique<runtime::SqliteDriver>();
  std::string server = url;
  std::string schema = TakeSchema(server);
  return ConnectServer(server, schema, use, errors);
}

std::unique_ptr<runtime::StorageDriver> OpenChosenStorage(std::ostream& errors,
                                                          runtime::PgSchemaUse use) {
  return OpenStorage(ChosenDatabase(), errors, use);
}

}  // namespace ledora::app
