#include <gtest/gtest.h>

#include <string>

#include "platform/process.hpp"

namespace platform {
namespace {

TEST(CommandLine, IsRebuiltFromArgumentsTheWindowsWay) {
    char program[] = "/usr/bin/virodaro";
    char show[] = "/SHOW";
    char empty[] = "";
    char spaced[] = "two words";
    char tabbed[] = "a\tb";
    char* argv[] = {program, show, empty, spaced, tabbed};
    SetProcessArguments(5, argv);
    EXPECT_EQ(std::string(GetCommandLineA()),
              "/usr/bin/virodaro /SHOW \"\" \"two words\" \"a\tb\"");
}

TEST(ThreadStorage, KeepsAValuePerSlot) {
    const uint32_t slot = TlsAlloc();
    ASSERT_NE(slot, kTlsOutOfIndexes);
    int value = 0;
    EXPECT_EQ(TlsGetValue(slot), nullptr);
    EXPECT_TRUE(TlsSetValue(slot, &value));
    EXPECT_EQ(TlsGetValue(slot), &value);
    EXPECT_TRUE(TlsFree(slot));
}

}  // namespace
}  // namespace platform
