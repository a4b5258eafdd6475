#include "foundation/OnceValue.h"

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include <gtest/gtest.h>

#include "FatalStop.h"
#include "TwoThreads.h"

namespace {

using foundation::OnceValue;

// A value whose making takes a while, so that a second first use arrives during it.
struct Slow {
  static inline std::atomic<int> made{0};
  int serial;
  Slow() : serial(++made) { std::this_thread::sleep_for(std::chrono::microseconds(200)); }
};

TEST(OnceValue, TwoThreadsFirstUsingItGetOneValue) {
  OnceValue<Slow> holder;
  for (int round = 0; round < 50; ++round) {
    holder.reset();
    Slow::made = 0;
    const Slow* seen[2] = {};
    const auto raised = testsupport::runReleasedTogether([&] { seen[0] = &holder.get(); },
                                                         [&] { seen[1] = &holder.get(); });
    ASSERT_EQ(raised, (std::vector<std::string>{"", ""}));
    ASSERT_EQ(Slow::made, 1) << "round " << round;
    ASSERT_EQ(seen[0], seen[1]);
  }
}

TEST(OnceValue, UseFromItsOwnMakingIsAFatalStopAndLeavesItEmpty) {
  OnceValue<int> holder("made from itself");
  EXPECT_FATAL(holder.get([&] { return holder.get([] { return 1; }) + 1; }), "made from itself");
  EXPECT_FALSE(holder.exists());
  // A making that failed is tried again on the next use.
  EXPECT_EQ(holder.get([] { return 7; }), 7);
  EXPECT_EQ(holder.get([] { return 8; }), 7);
}

TEST(OnceValue, ResetForgetsTheValueBeforeDestroyingIt) {
  struct Watcher {
    OnceValue<Watcher>* holder;
    bool* existedAtDestruction;
    ~Watcher() { *existedAtDestruction = holder->exists() || !holder->weak().expired(); }
  };
  OnceValue<Watcher> holder;
  bool existed = true;
  Watcher& first = holder.get([&] { return Watcher{&holder, &existed}; });
  const std::weak_ptr<Watcher> weak = holder.weak();
  EXPECT_EQ(weak.lock().get(), &first);
  holder.reset();
  EXPECT_FALSE(existed);
  EXPECT_TRUE(weak.expired());
  EXPECT_FALSE(holder.exists());
  EXPECT_TRUE(holder.weak().expired());
  bool unused = false;
  holder.get([&] { return Watcher{&holder, &unused}; });
  EXPECT_TRUE(holder.exists());
}

}  // namespace
