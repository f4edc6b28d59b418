#include "printer/printer_state.hpp"

#include <cstring>

PrinterState gPrinter;

void PrnResetState() {
    char name[sizeof gPrinter.name];
    std::memcpy(name, gPrinter.name, sizeof name);
    const uint16_t nameLength = gPrinter.nameLength;
    gPrinter = PrinterState{};
    std::memcpy(gPrinter.name, name, sizeof name);
    gPrinter.nameLength = nameLength;
}

void PrnStateInit() { gPrinter = PrinterState{}; }
