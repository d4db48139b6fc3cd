// Procedure threads: each started procedure runs on a fiber of its own, all
// on the one GUI thread, and switches only when it waits for an event or a
// modal answer. The program (or a test) owns one Scheduler; presenters drive
// it from their event loop, windows and modal services wait through it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>

#include "runtime/window/thread_buffers.h"

namespace ledora::runtime {

using Procedure = std::function<void()>;

class Scheduler {
 public:
  // The smallest stack a fiber gets, whatever size is asked; a guard page
  // comes on top.
  static constexpr size_t kMinimumStack = 1024 * 1024;

  Scheduler();  // becomes Current()
  // Lets every waiting thread run to its end (their waits fail), then frees.
  ~Scheduler();
  Scheduler(const Scheduler&) = delete;
  Scheduler& operator=(const Scheduler&) = delete;
  static Scheduler* Current();
  // Tells schedulers apart, also one made where an earlier one lay.
  int64_t id() const { return id_; }

  // Makes a thread for the procedure; it first runs at the next RunReady.
  // Returns its number, or 0 when no stack could be had. The first thread is
  // 1; numbers are never reused, so state kept per thread number (a file's
  // open counts) can never pass to an unrelated later thread.
  int32_t Start(Procedure procedure, size_t stackSize);
  // Runs every runnable thread until each waits or ends. False when none
  // could run. Does nothing when called from a thread.
  bool RunReady();
  bool HasThreads() const { return !fibers_.empty(); }
  bool IsAlive(int32_t thread) const { return fibers_.count(thread) != 0; }
  size_t ThreadCount() const { return fibers_.size(); }
  // Called whenever a thread becomes runnable, so an event loop can come
  // round to RunReady (the Qt presenter queues a call).
  void SetWakeHandler(std::function<void()> handler) { wakeHandler_ = std::move(handler); }
  // Called when RunReady has run every runnable thread and the program goes
  // back to waiting (the storage driver ends the reads it kept open).
  void SetIdleHandler(std::function<void()> handler) { idleHandler_ = std::move(handler); }
  // Called with the number of every thread that ends; returns an id for
  // RemoveEndListener. Per-thread state is dropped here.
  int32_t AddEndListener(std::function<void(int32_t)> listener);
  void RemoveEndListener(int32_t id);

  // From a thread: waits until ready() holds, running the others meanwhile.
  // False without waiting when not on a thread, or while shutting down.
  bool WaitUntil(const std::function<bool()>& ready);
  void Wake(int32_t thread);
  bool InThread() const { return running_ != 0; }
  int32_t CurrentThread() const { return running_ != 0 ? running_ : 1; }
  bool ShuttingDown() const { return closing_; }
  ThreadBuffers& buffers() { return buffers_; }

 private:
  struct Fiber;
  void Resume(int32_t thread);

  std::map<int32_t, std::unique_ptr<Fiber>> fibers_;
  std::deque<int32_t> runnable_;
  int32_t running_ = 0;
  bool closing_ = false;
  ThreadBuffers buffers_;
  std::function<void()> wakeHandler_;
  std::function<void()> idleHandler_;
  std::map<int32_t, std::function<void(int32_t)>> endListeners_;
  int32_t nextListener_ = 1;
  int32_t nextNumber_ = 1;
  int64_t id_;
};

// The current scheduler's Start; 0 when there is none.
int32_t Start(Procedure procedure, size_t stackSize);
// The running procedure thread's number; 1 (the main thread) outside any.
int32_t CurrentThread();

}  // namespace ledora::runtime
