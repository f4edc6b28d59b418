#include "app/printer_list.hpp"

#include "app/screen.hpp"
#include "printer/enumeration.hpp"

namespace {

constexpr int32_t kPrinterNameField = 4;

}  // namespace

void AppListPrinters() {
    Text printerList;
    const int32_t count = PrnPrinterCount();
    // The user learns why the printers they know are missing from the list.
    const Text silentServer = PrnSilentServer();
    if (!silentServer.Empty()) {
        AppWriteLine(" ....The print server " + silentServer + " does not answer.");
    }
    for (int32_t printerIndex = 1; printerIndex <= count; ++printerIndex) {
        printerList =
            printerList + PrnPrinterInfo(printerIndex, kPrinterNameField) + StrFromBytes({13, 10});
    }
    AppWriteLine(printerList);
}
