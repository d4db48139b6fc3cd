// The files and folders a run makes for itself beside its outputs and in the
// temporary folder (half-written outputs, page images). A run ended by
// SIGINT, SIGTERM or SIGHUP removes them on its way out; one ended harder
// (SIGKILL, a crash, a power cut) leaves them to the next start's sweep,
// which knows them by their name and by a lock their maker holds while it
// lives. Used by OutputFile, the report's page files and the program's
// start.
#pragma once

#include <string>

namespace ledora::runtime {

// Names carry this mark, so that a sweep never touches a file of the user.
inline constexpr char kTemporaryMark[] = "ledora-tmp-";
// The file whose presence in a staging folder means its files are on their
// way into place (runtime/system/staging_folder.h).
inline constexpr char kPublishingMark[] = ".publishing";

// Installs the handlers of SIGINT, SIGTERM and SIGHUP that remove every kept
// temporary and then end the process as the signal would have. Once per
// process; later calls do nothing.
void RemoveTemporariesOnSignals();

// Keeps path (a file, or a folder of files) for removal by the handlers
// until ForgetTemporary(slot). -1 when every slot is taken: the temporary is
// then left to the next sweep.
int KeepTemporary(const std::string& path, bool folder);
void ForgetTemporary(int slot);

// Holds back SIGINT, SIGTERM and SIGHUP for its life, so that a temporary
// is made and kept as one step: a signal between the two would leave it.
class SignalsHeld {
 public:
  SignalsHeld();
  ~SignalsHeld();
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  unsigned long long previous_[16];  // a sigset_t, kept opaque here
};

// Takes the lock that tells sweeps the temporary open on fd is alive; held
// until fd is closed.
bool MarkAlive(int fd);

// Removes the temporaries in folder whose makers are gone.
void SweepTemporaries(const std::string& folder);

// The folder for temporaries: TMPDIR when it names a folder, else /tmp (a
// missing TMPDIR must not send page images into the data folder).
std::string TemporaryFolder();

}  // namespace ledora::runtime
