// The test hooks: the nth call of a kind fails, and open objects are counted.
#include <gtest/gtest.h>

#include <vector>

#include "platform/posix/test_hooks.h"
#include "platform/win32.h"

namespace {

using rowfork::test_hooks::Failing;
using rowfork::test_hooks::FailNthCall;
using rowfork::test_hooks::OpenKernelObjects;

DWORD Nothing(LPVOID) { return 0; }

// Which of five calls of one kind succeed, with `what` set to fail at `nth`.
std::vector<bool> FiveCalls(Failing kind, Failing what, int nth) {
  FailNthCall(what, nth);
  std::vector<bool> made;
  for (int i = 0; i < 5; ++i) {
    if (kind == Failing::kGlobalAlloc) {
      HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 16);
      made.push_back(memory != nullptr);
      GlobalFree(memory);
    } else {
      HANDLE handle = kind == Failing::kCreateEvent
                          ? CreateEventA(nullptr, TRUE, FALSE, nullptr)
                          : CreateThread(nullptr, 0, Nothing, nullptr, CREATE_SUSPENDED, nullptr);
      made.push_back(handle != nullptr);
      if (handle != nullptr) CloseHandle(handle);
    }
  }
  FailNthCall(what, 0);
  return made;
}

TEST(Hooks, OnlyTheNthCallOfItsKindFails) {
  const std::vector<bool> all(5, true);
  const std::vector<bool> third = {true, true, false, true, true};
  for (const Failing kind : {Failing::kCreateEvent, Failing::kCreateThread, Failing::kGlobalAlloc}) {
    SCOPED_TRACE(static_cast<int>(kind));
    const int calls_before = rowfork::test_hooks::CallsMade(kind);
    EXPECT_EQ(FiveCalls(kind, kind, 3), third);
    EXPECT_EQ(rowfork::test_hooks::CallsMade(kind), calls_before + 5) << "the failed call counts too";
    EXPECT_EQ(FiveCalls(kind, kind, 1), std::vector<bool>({false, true, true, true, true}));
    EXPECT_EQ(FiveCalls(kind, kind, 0), all);
    const Failing other = kind == Failing::kCreateEvent ? Failing::kGlobalAlloc : Failing::kCreateEvent;
    EXPECT_EQ(FiveCalls(kind, other, 2), all) << "other kinds unaffected";
  }
}

TEST(Hooks, OpenObjectsAreCountedUntilClosed) {
  const int before = OpenKernelObjects();
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread = CreateThread(nullptr, 0, Nothing, nullptr, 0, nullptr);
  EXPECT_EQ(OpenKernelObjects(), before + 2);
  FailNthCall(Failing::kCreateEvent, 1);
  EXPECT_EQ(CreateEventA(nullptr, TRUE, FALSE, nullptr), nullptr);
  EXPECT_EQ(OpenKernelObjects(), before + 2) << "a failed creation counts nothing";
  CloseHandle(thread);
  CloseHandle(event);
  EXPECT_FALSE(CloseHandle(nullptr));
  EXPECT_EQ(OpenKernelObjects(), before);
}

TEST(Hooks, GlobalBlocksAreCountedUntilFreed) {
  const int before = rowfork::test_hooks::LiveGlobalBlocks();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 64);
  EXPECT_EQ(rowfork::test_hooks::LiveGlobalBlocks(), before + 1);
  FailNthCall(Failing::kGlobalAlloc, 1);
  EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 64), nullptr);
  EXPECT_EQ(GlobalFree(nullptr), nullptr);
  EXPECT_EQ(rowfork::test_hooks::LiveGlobalBlocks(), before + 1) << "a failed allocation counts nothing";
  GlobalFree(GlobalHandle(GlobalLock(memory)));
  EXPECT_EQ(rowfork::test_hooks::LiveGlobalBlocks(), before);
}

}  // namespace
