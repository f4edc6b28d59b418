#include "app/printer_list.hpp"

#include "app/screen.hpp"
#include "app/server_trouble.hpp"
#include "printer/enumeration.hpp"

namespace {

constexpr int32_t kPrinterNameField = 4;

}  // namespace

void AppListPrinters() {
    Text printerList;
    const int32_t count = PrnPrinterCount();
    // The user learns why the printers they know are missing from the list.
    Text server;
    if (const PrintServerTrouble trouble = PrnServerTrouble(server);
        trouble != PrintServerTrouble::kNone) {
        AppWriteLine(AppServerTroubleLine(trouble, server));
    }
    // The names are the print server's: each stands on its line, whatever bytes it holds.
    for (int32_t printerIndex = 1; printerIndex <= count; ++printerIndex) {
        printerList = printerList +
                      AppShownAsData(PrnPrinterInfo(printerIndex, kPrinterNameField)) +
                      StrFromBytes({13, 10});
    }
    AppWriteLine(printerList);
}
