#include "tests/support/pg_server.h"

#include <pwd.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace ledora::testing {

PgServer::PgServer() {
  if (geteuid() == 0) {
    struct passwd* user = getpwnam("postgres");
    if (user == nullptr) {
      error_ = "no postgres system user to run the server as (install the postgresql package)";
      return;
    }
    if (chown(folder_.path().c_str(), user->pw_uid, user->pw_gid) != 0) {
      error_ = "cannot give " + folder_.path() + " to the postgres user";
      return;
    }
    prefix_ = "runuser -u postgres -- ";
  }
  std::string data = folder_.File("data");
  std::string log = folder_.File("log");
  error_ = Run("initdb -D " + data + " -U postgres -A trust --no-sync -E UTF8");
  if (!error_.empty()) return;
  error_ = Run("pg_ctl -D " + data + " -l " + log + " -w -t 60 -o \"-k " + folder_.path() +
               " -c listen_addresses= -c fsync=off -c max_connections=60\" start");
  if (!error_.empty()) {
    std::ifstream text(log);
    std::stringstream content;
    content << text.rdbuf();
    error_ += "\n" + content.str();
    return;
  }
  running_ = true;
}

PgServer::~PgServer() { Stop(); }

void PgServer::Stop() {
  if (!running_) return;
  Run("pg_ctl -D " + folder_.File("data") + " -m immediate -w stop");
  running_ = false;
}

std::string PgServer::Url() const {
  return "postgresql:///postgres?host=" + folder_.path() + "&user=postgres";
}

// Empty when the command succeeded, else what it said.
std::string PgServer::Run(const std::string& command) {
  std::string full = prefix_ + command + " 2>&1";
  FILE* pipe = popen(full.c_str(), "r");
  if (pipe == nullptr) return "cannot run " + command;
  std::string output;
  char buffer[512];
  while (fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
  int status = pclose(pipe);
  return status == 0 ? std::string() : command + " failed: " + output;
}

bool TestsOnPostgres() {
  const char* engine = std::getenv("LEDORA_TEST_ENGINE");
  return engine != nullptr && std::string(engine) == "postgres";
}

std::string SchemaOfFolder(const std::string& folder) {
  std::string schema = "f_";
  for (char c : folder.substr(folder.find_last_of('/') + 1)) {
    schema +=
        std::isalnum(static_cast<unsigned char>(c)) ? static_cast<char>(std::tolower(c)) : '_';
  }
  return schema;
}

PgServer& SharedPgServer() {
  static PgServer server;
  return server;
}

std::string FreshSchema() {
  static int count = 0;
  return "test_" + std::to_string(getpid()) + "_" + std::to_string(++count);
}

}  // namespace ledora::testing
