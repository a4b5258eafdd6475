#pragma once
// A value made on its first use, once, even when two threads first use it at the same time: the
// later one waits for the value the first is making. Using the value from inside its own making
// (the maker reaching, however indirectly, for what it makes) is a fatal stop with the holder's
// message, since it would otherwise wait for itself; a making that fails (throws) leaves the
// holder empty, so the next use tries again.
//
// reset() forgets the value and then destroys it, so the next use makes a fresh one; it is for
// the test reset, while no other thread uses the holder.

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "foundation/Fatal.h"

namespace foundation {

template <typename T>
class OnceValue {
 public:
  explicit OnceValue(std::string reentryMessage = "a value was used while it was being made")
      : reentryMessage_(std::move(reentryMessage)) {}
  ~OnceValue() { reset(); }
  OnceValue(const OnceValue&) = delete;
  OnceValue& operator=(const OnceValue&) = delete;

  // The value, made as T(make()) on the first use.
  template <typename Make>
  T& get(Make&& make) {
    if (T* value = value_.load(std::memory_order_acquire)) return *value;
    if (maker_.load(std::memory_order_relaxed) == std::this_thread::get_id()) fatalError(reentryMessage_);
    std::lock_guard lock(mutex_);
    if (T* value = value_.load(std::memory_order_relaxed)) return *value;
    maker_.store(std::this_thread::get_id(), std::memory_order_relaxed);
    struct MakerCleared {
      std::atomic<std::thread::id>& maker;
      ~MakerCleared() { maker.store(std::thread::id(), std::memory_order_relaxed); }
    } cleared{maker_};
    owned_ = std::shared_ptr<T>(new T(make()));
    value_.store(owned_.get(), std::memory_order_release);
    return *owned_;
  }

  // The value, default-made on the first use.
  T& get() {
    return get([] { return T(); });
  }

  // Whether the value has been made (and not reset since).
  bool exists() const { return value_.load(std::memory_order_acquire) != nullptr; }

  // The value without making it: empty while there is none, and once it has been reset.
  std::weak_ptr<T> weak() {
    if (!exists()) return {};
    std::lock_guard lock(mutex_);
    return owned_;
  }

  void reset() {
    std::shared_ptr<T> old;
    {
      std::lock_guard lock(mutex_);
      value_.store(nullptr, std::memory_order_release);
      old = std::move(owned_);
    }
    // Destroyed outside the lock: what its destructor does may ask the holder, and finds none.
    old.reset();
  }

 private:
  std::string reentryMessage_;
  std::mutex mutex_;
  std::shared_ptr<T> owned_;
  std::atomic<T*> value_{nullptr};
  std::atomic<std::thread::id> maker_{};
};

}  // namespace foundation
