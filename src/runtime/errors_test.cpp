#include "runtime/errors.hpp"

#include <gtest/gtest.h>

#include <cfenv>
#include <utility>
#include <vector>

#include "platform/fpu.hpp"
#include "platform/process.hpp"
#include "runtime/os_call.hpp"
#include "testing/sim_runtime.hpp"

namespace {

class ErrorsTest : public SimRuntimeTest {};

TEST(OsErrorMap, MapsEveryRowOfTheTable) {
    const std::vector<std::pair<uint32_t, uint8_t>> rows = {
        {1, 75},  {16, 75}, {37, 75},  {2, 53},    {18, 53},         {3, 76},  {4, 67},  {5, 70},
        {19, 70}, {32, 70}, {33, 70},  {36, 70},   {6, 51},          {11, 51}, {12, 51}, {13, 51},
        {22, 51}, {24, 51}, {7, 241},  {9, 241},   {10, 241},        {8, 7},   {14, 7},  {15, 68},
        {20, 68}, {17, 74}, {21, 71},  {23, 72},   {25, 72},         {26, 72}, {27, 72}, {28, 72},
        {29, 72}, {30, 72}, {31, 72},  {34, 72},   {35, 72},         {38, 62}, {39, 61}, {112, 61},
        {87, 5},  {40, 75}, {183, 75}, {1801, 75}, {0xFFFFFFFF, 75},
    };
    for (const auto& [osError, number] : rows) {
        EXPECT_EQ(RtOsErrorMap(osError), number) << "Win32 error " << osError;
    }
}

TEST_F(ErrorsTest, RaisingZeroRecordsFiftyOne) {
    RtRaiseError(0);
    EXPECT_EQ(RtErrorNumber(), 51);
}

TEST_F(ErrorsTest, TheLaterOfTwoErrorsIsKept) {
    RtRaiseError(53);
    RtRaiseError(62);
    EXPECT_EQ(RtErrorNumber(), 62);
}

TEST_F(ErrorsTest, AnInnerProcedureKeepsItsErrorsToItself) {
    RtRaiseError(5);
    {
        RtErrorFrame inner;
        EXPECT_EQ(RtErrorNumber(), 0);  // a new activation starts clean
        RtRaiseError(70);
        EXPECT_EQ(RtErrorNumber(), 70);
    }
    EXPECT_EQ(RtErrorNumber(), 5);
}

TEST(ErrorsDeathTest, FatalNumbersEndTheProcessWithExitCode255) {
    EXPECT_EXIT(RtRaiseError(241), ::testing::ExitedWithCode(255), "");
    EXPECT_EXIT(RtRaiseError(RtOsErrorMap(7)), ::testing::ExitedWithCode(255), "");
    EXPECT_EXIT(RtRaiseError(255), ::testing::ExitedWithCode(255), "");
}

TEST_F(ErrorsTest, CallOsJudgesFailureByTheLastErrorCodeAlone) {
    auto notFound = RtCallOs([] {
        platform::SetLastError(2);
        return false;
    });
    EXPECT_TRUE(notFound.Failed());
    EXPECT_EQ(notFound.error, 53);

    auto successWithCode = RtCallOs([] {
        platform::SetLastError(112);
        return true;
    });
    EXPECT_EQ(successWithCode.error, 61);

    platform::SetLastError(5);  // left over from an earlier call: cleared before this one
    auto silentFailure = RtCallOs([] { return false; });
    EXPECT_FALSE(silentFailure.Failed());
    EXPECT_FALSE(silentFailure.value);
    EXPECT_EQ(RtErrorNumber(), 0);  // RtCallOs only reports; callers raise
}

TEST_F(ErrorsTest, CallOsQuietsErrorDialogsAndPutsTheModeBack) {
    platform::SetErrorMode(0x4);
    uint32_t modeDuringCall = 0;
    RtCallOs([&] {
        modeDuringCall = platform::SetErrorMode(0);
        platform::SetErrorMode(modeDuringCall);
        return 0;
    });
    EXPECT_EQ(modeDuringCall, platform::kQuietErrorMode);
    EXPECT_EQ(platform::SetErrorMode(0), 0x4u);
}

TEST_F(ErrorsTest, CallOsKeepsTheRoundingModeThatACallChanges) {
    RtCallOs([] { return std::fesetround(FE_TOWARDZERO); });
    EXPECT_EQ(std::fegetround(), FE_TONEAREST);
    // Three quarters of the last place round up to nearest, away toward zero.
    volatile double one = 1, threeQuarters = 0x1.8p-53;
    EXPECT_EQ(one + threeQuarters, 1 + 0x1p-52);
}

#if VIRODARO_HAS_X87
TEST_F(ErrorsTest, CallOsKeepsTheFloatingPointModeThatACallChanges) {
    const platform::FpuControl before = platform::FpuSaveControl();
    RtCallOs([] {
        // What a careless driver might do: 53-bit precision, round toward zero, and
        // flush-to-zero in SSE.
        platform::FpuLoadX87ControlWord(0x0E7F);
        platform::FpuControl changed = platform::FpuSaveControl();
        changed.mxcsr |= 0x8000 | 0x6000;
        platform::FpuRestoreControl(changed);
        return 0;
    });
    const platform::FpuControl after = platform::FpuSaveControl();
    EXPECT_EQ(after.x87ControlWord, before.x87ControlWord);
    EXPECT_EQ(after.mxcsr, before.mxcsr);
}

TEST_F(ErrorsTest, FrameSetupLoadsExtendedPrecisionRoundToNearest) {
    platform::FpuLoadX87ControlWord(0x027F);  // the 53-bit default of some C runtimes
    RtFrameSetup();
    // Exception masks, precision and rounding; the reserved bits read back as the chip likes.
    EXPECT_EQ(platform::FpuSaveControl().x87ControlWord & 0x0F3F, kRtX87ControlWord & 0x0F3F);
    // 1 + 2^-63 survives only with a 64-bit significand.
    volatile long double one = 1.0L;
    volatile long double tiny = 0x1p-63L;
    EXPECT_NE(one + tiny, one);
}

#endif

}  // namespace
