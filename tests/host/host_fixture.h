// Host-level tests: the built module file loaded as the host loads it, with
// the substitute host's suites, a profile and a processor count of the test's
// choosing. Each test gets a fresh load of the module.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "host/call_log.h"
#include "host/host_suites.h"
#include "host/module_loader.h"

namespace lumora::testing {

class ModuleTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Makes the module see `count` processors (Linux only: ROWFORK_CPUS).
  void UseProcessors(int count);
  // Writes the profile the module reads its switch from; "" removes it.
  void WriteProfile(const std::string &contents);

  // A fresh host and a fresh load of the module, as after a restart.
  void Reload();
  // Puts the test's routines into a fresh host's tables.
  virtual void PrepareSuites() {}

  int16_t StartUp() { return module->Call(kSelectStartUp, suites->Block()); }
  // A fresh start on `threads` processors; false, with nothing started, where
  // the count is the machine's own and differs.
  bool StartOn(int threads) {
    if (!CanChooseProcessors() && MachineProcessors() != threads) return false;
    UseProcessors(threads);
    Reload();
    EXPECT_EQ(StartUp(), kResultSuccess);
    return true;
  }
  int16_t ShutDown() { return module->Call(kSelectShutDown, nullptr); }

  // True when the processor count can be chosen (not on Windows).
  static bool CanChooseProcessors();

  // Runs `check(threads)` with the module started at 2, 3, 4 and 8
  // processors (on Windows, once, at the machine's own count).
  template <typename Check>
  void AtEachThreadCount(Check check) {
    const int counts[] = {2, 3, 4, 8};
    for (int threads : counts) {
      SCOPED_TRACE(::testing::Message() << threads << " threads");
      UseProcessors(threads);
      Reload();
      ASSERT_EQ(StartUp(), kResultSuccess);
      check(CanChooseProcessors() ? threads : MachineProcessors());
      if (!CanChooseProcessors()) return;
    }
  }
  static int MachineProcessors();

  std::optional<HostSuites> suites;
  std::unique_ptr<LoadedModule> module;

 private:
  void Load();  // a fresh host, and the module loaded for it
  std::string profile_directory_;
};

}  // namespace lumora::testing
