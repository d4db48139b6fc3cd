#include "tests/support/pg_server.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace ledora::testing {
namespace {

const char kInitdb[] = "initdb -U postgres -A trust --no-sync -E UTF8 -D ";

// Gives a folder to the server's user when the tests run as root, since
// initdb refuses root.
std::string GiveToServerUser(const std::string& path) {
  if (geteuid() != 0) return "";
  struct passwd* user = getpwnam("postgres");
  if (user == nullptr)
    return "no postgres system user to run the server as (install the postgresql package)";
  if (chown(path.c_str(), user->pw_uid, user->pw_gid) != 0)
    return "cannot give " + path + " to the postgres user";
  return "";
}

std::string FirstLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

// Closes the lock file, which lets the lock go, whatever way we leave.
class HeldLock {
 public:
  explicit HeldLock(const std::string& path) : fd_(open(path.c_str(), O_RDWR | O_CREAT, 0600)) {
    if (fd_ >= 0 && flock(fd_, LOCK_EX) != 0) {
      close(fd_);
      fd_ = -1;
    }
  }
  ~HeldLock() {
    if (fd_ >= 0) close(fd_);
  }
  HeldLock(const HeldLock&) = delete;
  HeldLock& operator=(const HeldLock&) = delete;
  bool held() const { return fd_ >= 0; }

 private:
  int fd_;
};

// A server's data folder is about a thousand small files, which a busy disk
// makes slowly (over a second): in memory when there is room for it.
std::string ServerFolderParent() {
  struct statvfs memory;
  if (statvfs("/dev/shm", &memory) != 0) return "";
  return memory.f_bavail * memory.f_frsize >= (1ULL << 30) ? "/dev/shm" : "";
}

}  // namespace

PgServer::PgServer() : folder_(ServerFolderParent()) {
  error_ = GiveToServerUser(folder_.path());
  if (!error_.empty()) return;
  if (geteuid() == 0) prefix_ = "runuser -u postgres -- ";
  std::string data = folder_.File("data");
  std::string log = folder_.File("log");
  error_ = MakeData(data);
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

std::string PgServer::Restart() {
  if (!running_) return "the server is not running";
  return Run("pg_ctl -D " + folder_.File("data") + " -l " + folder_.File("log") +
             " -m fast -w -t 60 restart");
}

std::string PgServer::Url() const {
  return "postgresql:///postgres?host=" + folder_.path() + "&user=postgres";
}

// initdb takes over a second, too long for each of a hundred test programs:
// under ctest (which names the cache folder and removes it when the run ends)
// the first server of a run makes a template that the others copy. A lock
// lets only one of the parallel tests make it; a template of another server
// version is made again.
std::string PgServer::MakeData(const std::string& data) {
  const char* cache = std::getenv("LEDORA_PG_TEMPLATE");
  if (cache == nullptr || *cache == '\0') return Run(kInitdb + data);
  std::string folder = cache;
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return "cannot make " + folder;
  if (std::string error = GiveToServerUser(folder); !error.empty()) return error;
  HeldLock lock(folder + "/lock");
  if (!lock.held()) return "cannot lock " + folder + "/lock";
  std::string made = folder + "/template";
  std::string version;
  if (std::string error = Run("initdb --version", &version); !error.empty()) return error;
  size_t digits = version.find_first_of("0123456789");
  if (digits == std::string::npos) return "initdb --version said: " + version;
  std::string major = version.substr(digits);
  major = major.substr(0, major.find_first_not_of("0123456789"));
  if (FirstLine(made + "/PG_VERSION") != major) {
    // Made aside and renamed, so that a failed initdb leaves no template.
    std::string fresh = folder + "/fresh";
    for (const std::string& step :
         {"rm -rf " + fresh + " " + made, kInitdb + fresh, "mv " + fresh + " " + made}) {
      if (std::string error = Run(step); !error.empty()) return error;
    }
  }
  return Run("cp -a " + made + " " + data);
}

// Empty when the command succeeded, else what it said; printed gets its
// output.
std::string PgServer::Run(const std::string& command, std::string* printed) {
  std::string full = prefix_ + command + " 2>&1";
  FILE* pipe = popen(full.c_str(), "r");
  if (pipe == nullptr) return "cannot run " + command;
  std::string output;
  char buffer[512];
  while (fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
  int status = pclose(pipe);
  if (printed != nullptr) *printed = output;
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
