// What the platform tests share: counting the process's OS threads, and
// setting an environment variable for one test.
#pragma once

#include <dirent.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

namespace rowfork::platform_testing {

// Entries of /proc/self/task: the OS threads of this process.
inline int ProcessThreads() {
  int count = 0;
  DIR *tasks = opendir("/proc/self/task");
  if (tasks == nullptr) return -1;
  while (const dirent *entry = readdir(tasks)) count += entry->d_name[0] != '.';
  closedir(tasks);
  return count;
}

// ProcessThreads() counted after one thread has come and gone, so that a
// runtime that starts a helper thread with the first one (ThreadSanitizer
// does) has done so.
inline int ThreadBaseline() {
  std::thread([] {}).join();
  return ProcessThreads();
}

// Polls `done` for up to five seconds; true once it holds.
template <class Done>
bool Eventually(Done done) {
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!done()) {
    if (std::chrono::steady_clock::now() > give_up) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// Sets (nullopt: unsets) a variable for the object's life, then restores it.
// Only in the test's own thread, before it starts others.
class ScopedEnv {
 public:
  ScopedEnv(const char *name, std::optional<std::string> value) : name_(name) {
    if (const char *old = std::getenv(name)) old_ = old;
    Put(value);
  }
  ~ScopedEnv() { Put(old_); }
  ScopedEnv(const ScopedEnv &) = delete;
  ScopedEnv &operator=(const ScopedEnv &) = delete;

 private:
  void Put(const std::optional<std::string> &value) {
    if (value) {
      setenv(name_, value->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

  const char *name_;
  std::optional<std::string> old_;
};

}  // namespace rowfork::platform_testing
