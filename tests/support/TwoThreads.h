#pragma once
// Runs two functions on two threads released together: both threads wait, spinning, until both
// have started, so that the two calls begin as nearly at once as the machine allows. Races on a
// first use show up when this is repeated many times.

#include <atomic>
#include <exception>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

// What each thread raised ("" when it returned normally), first then second.
inline std::vector<std::string> runReleasedTogether(const std::function<void()>& first,
                                                    const std::function<void()>& second) {
  std::atomic<int> arrived{0};
  std::vector<std::string> raised(2);
  auto body = [&](const std::function<void()>& work, std::string& failure) {
    arrived.fetch_add(1);
    while (arrived.load() < 2) {
    }
    try {
      work();
    } catch (const std::exception& e) {
      failure = e.what();
      if (failure.empty()) failure = "an exception";
    } catch (...) {
      failure = "an exception";
    }
  };
  std::thread a(body, std::cref(first), std::ref(raised[0]));
  std::thread b(body, std::cref(second), std::ref(raised[1]));
  a.join();
  b.join();
  return raised;
}

}  // namespace testsupport
