// The ledora program run in a real window for a test: started on a fresh
// data folder, its windows found through the X server by their titles
// (xdotool), keys and text sent to them, and its end awaited. Every
// real-window test of the program derives from it.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace ledora::testing {

inline constexpr char kFrameTitle[] = "Quorval Report Designer - Vennic demo program";

// The folder of the running test binary.
std::filesystem::path ExeFolder();
// What a shell command wrote to standard output.
std::string Output(const std::string& command);
// Polls every 100 ms for up to `seconds`.
bool WaitFor(const std::function<bool()>& done, double seconds);

class ProgramWindowTest : public ::testing::Test {
 protected:
  // Skips the test without a display or xdotool.
  void SetUp() override;
  // Kills the program if the test did not end it.
  void TearDown() override;

  // Starts the program on data_; a fatal failure when it cannot.
  void StartProgram();
  // The program's visible windows.
  std::vector<std::string> Visible();
  // Its first visible window of exactly that title, or "".
  std::string Named(const std::string& title);
  // True once the program has ended; its wait status in *status.
  bool Exited(int* status);
  // Gives the window the focus, then presses the keys (xdotool's names).
  void Keys(const std::string& window, const std::string& keys);
  void Type(const std::string& window, const std::string& text);
  // Presses keys wherever the keyboard focus is, as a user does.
  void PressKeys(const std::string& keys);

  // The frame, once it shows and its splash has gone; "" when it never did.
  std::string FrameReady();
  // Presses keys in a window until a window of that title shows; "" if none.
  // Keys may reach a window before it has the focus and be lost, so each
  // step is tried again.
  std::string OpenWith(const std::string& window, const std::string& keys,
                       const std::string& title);
  // Presses keys in a window until no window of that title shows.
  bool CloseWith(const std::string& window, const std::string& title, const std::string& keys);
  // Alt+F, x: "E&xit"; true when the program then ended with status 0.
  bool Quit(const std::string& frame);
  // The help window's title once it starts with `starting`, else "".
  std::string HelpTitle(const std::string& starting = "ledora Help - ");
  // The number of records of a data file of the folder ("INVOICES").
  int Records(const std::string& file);

  TempFolder data_;
  pid_t pid_ = -1;
  bool exited_ = false;
};

}  // namespace ledora::testing
