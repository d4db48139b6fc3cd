// Crash tests run a small station program and kill it at one of its syncs
// (strace injects SIGKILL at the nth fdatasync), then look at what another
// station finds in the files it left.
#pragma once

#include <functional>
#include <string>

namespace ledora::testing {

// The station program of that name built beside the test program.
std::string StationProgram(const std::string& name);

// Runs station in folder with temp as its temporary folder, killed at its
// syncth fdatasync (0: never). Answers its wait status.
int RunStationKilledAtSync(const std::string& station, const std::string& folder,
                           const std::string& temp, int sync);

// Runs run(1), run(2), ... (run kills the station at that sync) until the
// station ends on its own, calling afterKill after each kill. Answers the
// number of kills, or -1 after a failure: a station that died otherwise, or
// still synced after mostSyncs kills.
int KillAtEachSync(const std::function<int(int sync)>& run, const std::function<void()>& afterKill,
                   int mostSyncs);

}  // namespace ledora::testing
