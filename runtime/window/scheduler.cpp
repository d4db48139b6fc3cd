#include "runtime/window/scheduler.h"

#include <algorithm>
#include <cstdio>
#include <exception>

// Debian's Boost.Context library is built for fcontext only, and fcontext
// does not tell AddressSanitizer about stack switches; we announce each
// switch here, so that it never takes a fiber's stack for a corrupted one.
#include <boost/context/fiber.hpp>
#include <boost/context/preallocated.hpp>
#include <boost/context/protected_fixedsize_stack.hpp>

#if defined(LEDORA_SANITIZE)
#include <sanitizer/common_interface_defs.h>
#define LEDORA_FIBER_ANNOTATIONS 1
#endif

namespace ledora::runtime {

namespace ctx = boost::context;

namespace {

Scheduler* current = nullptr;

// The stack a switch leaves for, told to the sanitizer before each switch;
// the scheduler's own stack is learnt on the first entry into a fiber.
#if defined(LEDORA_FIBER_ANNOTATIONS)
const void* schedulerStackBottom = nullptr;
size_t schedulerStackSize = 0;

void StartSwitch(void** fakeStack, const void* bottom, size_t size) {
  __sanitizer_start_switch_fiber(fakeStack, bottom, size);
}
void FinishSwitch(void* fakeStack, const void** fromBottom, size_t* fromSize) {
  __sanitizer_finish_switch_fiber(fakeStack, fromBottom, fromSize);
}
#else
void StartSwitch(void**, const void*, size_t) {}
void FinishSwitch(void*, const void**, size_t*) {}
const void* schedulerStackBottom = nullptr;
size_t schedulerStackSize = 0;
#endif

}  // namespace

struct Scheduler::Fiber {
  int32_t number = 0;
  Procedure procedure;
  ctx::fiber context;  // resumes the thread
  ctx::fiber caller;   // resumes the scheduler, valid while the thread runs
  bool finished = false;
  bool queued = false;
  const void* stackBottom = nullptr;
  size_t stackSize = 0;
};

Scheduler::Scheduler() {
  static int64_t made = 0;
  id_ = ++made;
  current = this;
}

Scheduler::~Scheduler() {
  closing_ = true;
  // Waits fail from now on, so each thread runs to its end when resumed.
  for (int round = 0; round < 8 && !fibers_.empty(); ++round) {
    std::vector<int32_t> numbers;
    for (auto& [number, fiber] : fibers_) numbers.push_back(number);
    for (int32_t number : numbers) Resume(number);
  }
  fibers_.clear();
  if (current == this) current = nullptr;
}

Scheduler* Scheduler::Current() { return current; }

int32_t Scheduler::AddEndListener(std::function<void(int32_t)> listener) {
  endListeners_.emplace(nextListener_, std::move(listener));
  return nextListener_++;
}

void Scheduler::RemoveEndListener(int32_t id) { endListeners_.erase(id); }

int32_t Scheduler::Start(Procedure procedure, size_t stackSize) {
  if (closing_ || !procedure) return 0;
  auto fiber = std::make_unique<Fiber>();
  fiber->number = nextNumber_;
  fiber->procedure = std::move(procedure);
  Fiber* raw = fiber.get();
  try {
    ctx::protected_fixedsize_stack allocator(std::max(stackSize, kMinimumStack));
    ctx::stack_context stack = allocator.allocate();
    raw->stackBottom = static_cast<char*>(stack.sp) - stack.size;
    raw->stackSize = stack.size;
    ctx::preallocated place(stack.sp, stack.size, stack);
    raw->context = ctx::fiber(std::allocator_arg, place, allocator, [raw](ctx::fiber&& caller) {
      FinishSwitch(nullptr, &schedulerStackBottom, &schedulerStackSize);
      raw->caller = std::move(caller);
      try {
        raw->procedure();
      } catch (const ctx::detail::forced_unwind&) {
        throw;
      } catch (const std::exception& e) {
        std::fprintf(stderr, "thread %d ended by an exception: %s\n", raw->number, e.what());
      } catch (...) {
        std::fprintf(stderr, "thread %d ended by an exception\n", raw->number);
      }
      raw->finished = true;
      // No fake stack to keep: this stack is about to be freed.
      StartSwitch(nullptr, schedulerStackBottom, schedulerStackSize);
      return std::move(raw->caller);
    });
  } catch (const std::exception&) {
    return 0;
  }
  int32_t number = nextNumber_++;
  fibers_.emplace(number, std::move(fiber));
  Wake(number);
  return number;
}

void Scheduler::Resume(int32_t thread) {
  auto it = fibers_.find(thread);
  if (it == fibers_.end()) return;
  Fiber& fiber = *it->second;
  int32_t previous = running_;
  running_ = thread;
  buffers_.SwitchTo(thread);
  void* fakeStack = nullptr;
  StartSwitch(&fakeStack, fiber.stackBottom, fiber.stackSize);
  fiber.context = std::move(fiber.context).resume();
  FinishSwitch(fakeStack, nullptr, nullptr);
  running_ = previous;
  if (fiber.finished) {
    fibers_.erase(thread);
    buffers_.Release(thread);
    // A copy: a listener may remove itself.
    auto listeners = endListeners_;
    for (auto& [id, listener] : listeners) listener(thread);
  }
}

bool Scheduler::RunReady() {
  if (InThread()) return false;
  bool ran = false;
  while (!runnable_.empty()) {
    int32_t thread = runnable_.front();
    runnable_.pop_front();
    auto it = fibers_.find(thread);
    if (it == fibers_.end()) continue;
    it->second->queued = false;
    Resume(thread);
    ran = true;
  }
  if (ran && idleHandler_) idleHandler_();
  return ran;
}

bool Scheduler::WaitUntil(const std::function<bool()>& ready) {
  if (ready()) return true;
  if (!InThread() || closing_) return false;
  Fiber& fiber = *fibers_.at(running_);
  while (!ready()) {
    if (closing_) return false;
    void* fakeStack = nullptr;
    StartSwitch(&fakeStack, schedulerStackBottom, schedulerStackSize);
    fiber.caller = std::move(fiber.caller).resume();
    FinishSwitch(fakeStack, &schedulerStackBottom, &schedulerStackSize);
  }
  return true;
}

void Scheduler::Wake(int32_t thread) {
  if (thread == running_) return;
  auto it = fibers_.find(thread);
  if (it == fibers_.end() || it->second->queued) return;
  it->second->queued = true;
  runnable_.push_back(thread);
  if (wakeHandler_) wakeHandler_();
}

int32_t Start(Procedure procedure, size_t stackSize) {
  Scheduler* scheduler = Scheduler::Current();
  return scheduler != nullptr ? scheduler->Start(std::move(procedure), stackSize) : 0;
}

int32_t CurrentThread() {
  Scheduler* scheduler = Scheduler::Current();
  return scheduler != nullptr ? scheduler->CurrentThread() : 1;
}

}  // namespace ledora::runtime
