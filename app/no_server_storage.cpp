// The jobs program's stand-in for the PostgreSQL driver, which it does not
// link: main hands every run on a server to the full program, so this
// answers only if that check was bypassed, and then with a message.
#include "app/server_storage.h"

namespace ledora::app {

std::unique_ptr<runtime::StorageDriver> ConnectServer(const std::string& url, const std::string&,
                                                      runtime::PgSchemaUse, std::ostream& errors) {
  errors << "ledora: cannot use the database " << url
         << ": this program works on data folders only (ledora-server-jobs works on servers)\n";
  return nullptr;
}

}  // namespace ledora::app
