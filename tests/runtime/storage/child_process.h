// Runs a function in a forked child process: another station with its own
// driver, which can be killed at any moment like a real one.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace ledora::testing {

class ChildProcess {
 public:
  // The body gets a function that tells the parent it is ready; its result
  // is the child's exit code.
  explicit ChildProcess(const std::function<int(const std::function<void()>& ready)>& body) {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(fds[0]);
      int signalFd = fds[1];
      int code = body([signalFd] {
        char byte = 1;
        (void)!write(signalFd, &byte, 1);
      });
      _exit(code);
    }
    close(fds[1]);
    readyFd_ = fds[0];
  }
  ~ChildProcess() {
    if (pid_ > 0 && !finished_) Kill();
    if (readyFd_ >= 0) close(readyFd_);
  }

  bool started() const { return pid_ > 0; }
  // Blocks until the child signals ready; false when it ended first.
  bool WaitReady() {
    char byte;
    return read(readyFd_, &byte, 1) == 1;
  }
  int Wait() {
    int status = 0;
    waitpid(pid_, &status, 0);
    finished_ = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  void Kill() {
    kill(pid_, SIGKILL);
    Wait();
  }

 private:
  pid_t pid_ = -1;
  int readyFd_ = -1;
  bool finished_ = false;
};

// Holds forked children until the parent lets them all go at once, so that
// two stations start a race at the same moment. Make it before the fork.
class Gate {
 public:
  Gate() { ok_ = pipe(fds_) == 0; }
  ~Gate() {
    if (!ok_) return;
    close(fds_[0]);
    close(fds_[1]);
  }
  Gate(const Gate&) = delete;
  Gate& operator=(const Gate&) = delete;

  bool ok() const { return ok_; }
  // In a child: waits for the parent's Open.
  void Pass() {
    char byte;
    (void)!read(fds_[0], &byte, 1);
  }
  void Open(int children) {
    for (int i = 0; i < children; ++i) (void)!write(fds_[1], "x", 1);
  }

 private:
  int fds_[2] = {-1, -1};
  bool ok_ = false;
};

}  // namespace ledora::testing
