#pragma once
// A test fixture that starts the runtime on a fresh simulated platform, as start-up does
// before the main routine, with an error frame of the test's own.

#include <gtest/gtest.h>

#include "console/console_state.hpp"
#include "platform/sim/sim.hpp"
#include "runtime/errors.hpp"
#include "runtime/startup.hpp"
#include "runtime/thread_block.hpp"

class SimRuntimeTest : public ::testing::Test {
  protected:
    void SetUp() override { StartRuntime({}); }
    void TearDown() override { RtThreadBlockShutdown(); }

    /// Starts again on a console set up this way.
    void StartRuntime(const sim::ConsoleSetup& setup) {
        sim::Reset(setup);
        gConsole = ConsoleState{};
        RtInitConsole();
        RtFrameSetup();
    }

    RtErrorFrame errors_;
};
