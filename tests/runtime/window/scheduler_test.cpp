#include "runtime/window/scheduler.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/window/window.h"
#include "runtime/window/window_registry.h"

namespace ledora::runtime {
namespace {

TEST(SchedulerTest, FirstThreadIsOneAndNumbersAreNeverReused) {
  Scheduler scheduler;
  std::vector<int32_t> seen;
  bool release = false;
  auto waiter = [&] {
    seen.push_back(CurrentThread());
    scheduler.WaitUntil([&] { return release; });
  };
  EXPECT_EQ(scheduler.Start(waiter, 0), 1);
  EXPECT_EQ(scheduler.Start(waiter, 0), 2);
  EXPECT_EQ(scheduler.Start(waiter, 0), 3);
  EXPECT_TRUE(seen.empty()) << "a started thread runs only when the scheduler comes round";
  scheduler.RunReady();
  EXPECT_EQ(seen, (std::vector<int32_t>{1, 2, 3}));
  release = true;
  scheduler.Wake(2);
  scheduler.RunReady();
  EXPECT_FALSE(scheduler.IsAlive(2));
  EXPECT_TRUE(scheduler.IsAlive(1));
  EXPECT_EQ(scheduler.Start([] {}, 0), 4) << "an ended thread's number stays unused";
}

TEST(SchedulerTest, EndListenersHearOfEveryEndedThread) {
  Scheduler scheduler;
  std::vector<int32_t> ended;
  int32_t id = scheduler.AddEndListener([&](int32_t thread) { ended.push_back(thread); });
  bool release = false;
  scheduler.Start([&] { scheduler.WaitUntil([&] { return release; }); }, 0);
  scheduler.Start([] {}, 0);
  scheduler.RunReady();
  EXPECT_EQ(ended, (std::vector<int32_t>{2}));
  release = true;
  scheduler.Wake(1);
  scheduler.RemoveEndListener(id);
  scheduler.RunReady();
  EXPECT_EQ(ended, (std::vector<int32_t>{2}));
  EXPECT_FALSE(scheduler.HasThreads());
}

TEST(SchedulerTest, OutsideAnyThreadTheCurrentThreadIsMain) {
  EXPECT_EQ(CurrentThread(), 1);
  Scheduler scheduler;
  EXPECT_EQ(CurrentThread(), 1);
  EXPECT_FALSE(scheduler.InThread());
  EXPECT_FALSE(scheduler.WaitUntil([] { return false; })) << "nothing to yield to";
}

TEST(SchedulerTest, StartWithoutSchedulerFails) {
  EXPECT_EQ(Start([] {}, 50000), 0);
}

TEST(SchedulerTest, ThreadsInterleaveOnlyWhereTheyWait) {
  Scheduler scheduler;
  std::string trace;
  int step = 0;
  scheduler.Start(
      [&] {
        trace += "a1 ";
        scheduler.WaitUntil([&] { return step >= 1; });
        trace += "a2 ";
      },
      0);
  scheduler.Start(
      [&] {
        trace += "b1 ";
        step = 1;
        scheduler.Wake(1);
        trace += "b2 ";
      },
      0);
  scheduler.RunReady();
  EXPECT_EQ(trace, "a1 b1 b2 a2 ");
  EXPECT_FALSE(scheduler.HasThreads());
}

// Deep recursion that needs far more than the 25000 bytes a procedure asks.
int Deep(int n) {
  volatile char pad[1024];
  std::memset(const_cast<char*>(pad), n, sizeof pad);
  return n == 0 ? pad[0] : Deep(n - 1) + (pad[10] & 1);
}

TEST(SchedulerTest, SmallStackRequestsStillGetAtLeastOneMebibyte) {
  Scheduler scheduler;
  int result = -1;
  scheduler.Start([&] { result = Deep(400); }, 25000);
  scheduler.RunReady();
  EXPECT_GE(result, 0);
}

TEST(SchedulerTest, AnExceptionEndsOnlyItsOwnThread) {
  Scheduler scheduler;
  bool otherRan = false;
  scheduler.Start([] { throw std::runtime_error("broken procedure"); }, 0);
  scheduler.Start([&] { otherRan = true; }, 0);
  scheduler.RunReady();
  EXPECT_TRUE(otherRan);
  EXPECT_FALSE(scheduler.HasThreads());
}

TEST(SchedulerTest, ManyThreadsEachWaitAndFinish) {
  Scheduler scheduler;
  constexpr int kThreads = 200;
  std::vector<int> rounds(kThreads + 1, 0);
  int tick = 0;
  for (int i = 0; i < kThreads; ++i) {
    scheduler.Start(
        [&] {
          int me = CurrentThread();
          for (int round = 1; round <= 3; ++round) {
            scheduler.WaitUntil([&] { return tick >= round; });
            rounds[me] = round;
          }
        },
        0);
  }
  scheduler.RunReady();
  for (int round = 1; round <= 3; ++round) {
    tick = round;
    for (int t = 1; t <= kThreads; ++t) scheduler.Wake(t);
    scheduler.RunReady();
  }
  EXPECT_FALSE(scheduler.HasThreads());
  for (int t = 1; t <= kThreads; ++t) EXPECT_EQ(rounds[t], 3) << "thread " << t;
}

TEST(SchedulerTest, DestroyingTheSchedulerEndsWaitingThreads) {
  bool ended = false;
  {
    Scheduler scheduler;
    scheduler.Start(
        [&] {
          bool waited = scheduler.WaitUntil([] { return false; });
          ended = !waited;
        },
        0);
    scheduler.RunReady();
    EXPECT_FALSE(ended);
  }
  EXPECT_TRUE(ended);
}

struct Record {
  int32_t number;
  char name[8];
};

TEST(ThreadBuffersTest, EachThreadSeesItsOwnCopyAtTheSameAddress) {
  static Record buffer{0, "initial"};
  Scheduler scheduler;
  scheduler.buffers().Register(&buffer, sizeof buffer);
  bool go = false;
  int32_t seenByFirst = -1;
  std::string nameSeenBySecond;
  scheduler.Start(
      [&] {
        buffer.number = 11;
        scheduler.WaitUntil([&] { return go; });
        seenByFirst = buffer.number;
      },
      0);
  scheduler.Start(
      [&] {
        nameSeenBySecond = buffer.name;
        buffer.number = 22;
        go = true;
        scheduler.Wake(1);
      },
      0);
  scheduler.RunReady();
  EXPECT_EQ(nameSeenBySecond, "initial") << "a new thread starts from the registered image";
  EXPECT_EQ(seenByFirst, 11) << "the second thread's write must not leak into the first";
  scheduler.buffers().Unregister(&buffer);
}

TEST(ThreadBuffersTest, ALaterThreadStartsFromTheRegisteredImage) {
  static int32_t counter = 5;
  Scheduler scheduler;
  scheduler.buffers().Register(&counter, sizeof counter);
  int32_t seen = 0;
  scheduler.Start([&] { counter = 99; }, 0);
  scheduler.RunReady();
  scheduler.Start([&] { seen = counter; }, 0);
  scheduler.RunReady();
  EXPECT_EQ(seen, 5);
  scheduler.buffers().Unregister(&counter);
}

TEST(PostTest, AnEventPostedToAnotherThreadWakesItsWindow) {
  Scheduler scheduler;
  std::vector<Event> received;
  scheduler.Start(
      [&] {
        Window window;
        window.CreateControl(7, ControlButton);
        window.Open();
        Event e;
        while (window.Accept(&e)) {
          received.push_back(e);
          if (e.number == EventAccepted) window.Post(EventCloseWindow);
        }
      },
      0);
  scheduler.Start([&] { EXPECT_TRUE(Post(EventAccepted, 7, 1)); }, 0);
  scheduler.RunReady();
  EXPECT_FALSE(scheduler.HasThreads());
  ASSERT_GE(received.size(), 3u);
  EXPECT_EQ(received.front().number, EventOpenWindow);
  bool accepted = false;
  for (const Event& e : received) accepted |= e.number == EventAccepted && e.control == 7;
  EXPECT_TRUE(accepted);
  EXPECT_FALSE(Post(EventAccepted, 7, 1)) << "the thread has no window any more";
}

}  // namespace
}  // namespace ledora::runtime
