// What the data files of both drivers share: the text commands they take,
// the text form of positions, and waiting for a lock in short steps.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <thread>

namespace ledora::runtime {

// "Recover=n" sets *recoverSeconds (at most an hour), "QUICKSCAN=on|off"
// *quickScan; the runtime code (76 a bad number, 80 another command).
int32_t ApplyStorageCommand(std::string_view command, int* recoverSeconds, bool* quickScan);

// A position's text ("42", blank-padded as a fixed-size field may be).
bool ParsePosition(std::string_view text, int64_t* pos);

// Sets and answers a runtime code without driver values.
int32_t Failure(int32_t code);

// Tries until attempt succeeds or seconds have passed.
template <typename Try>
bool RetryUntil(int seconds, Try attempt) {
  constexpr auto kLockPoll = std::chrono::milliseconds(20);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(std::max(seconds, 0));
  while (!attempt()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kLockPoll);
  }
  return true;
}

}  // namespace ledora::runtime
