#pragma once
// A test fixture with a simulated spooler: three scripted printers, the second of which is
// the system default, and helpers to attach them.

#include <string>
#include <vector>

#include "platform/sim/sim.hpp"
#include "printer/attach.hpp"
#include "testing/sim_runtime.hpp"

class SimPrinterTest : public SimRuntimeTest {
  protected:
    void SetUp() override {
        SimRuntimeTest::SetUp();
        sim::AddPrinter(sim::MakePrinter("Laser"));
        sim::AddPrinter(sim::MakePrinter("Office"), true);
        sim::AddPrinter(sim::MakePrinter("Plotter"));
    }

    /// Attaches the default printer with this title and forgets the calls made so far.
    static void AttachDefault(const char* title = "job") {
        PrnAttach(kPrnAttachDefault, Text(), title);
        sim::ClearPrintCalls();
    }

    /// Releases the printer the way the application does: attaching an empty name.
    static void Release() { PrnAttach(kPrnAttachByName, Text(), Text()); }

    /// The calls of the names given, as the simulated platform logged them.
    static std::vector<std::string> Calls(std::initializer_list<std::string> names) {
        return sim::PrintCallsNamed(names);
    }
};
