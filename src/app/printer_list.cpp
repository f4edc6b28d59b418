#include "app/printer_list.hpp"

#include "app/screen.hpp"
#include "printer/enumeration.hpp"

namespace {

constexpr int32_t kPrinterNameField = 4;

}  // namespace

void AppListPrinters() {
    Text printerList;
    const int32_t count = PrnPrinterCount();
    for (int32_t printerIndex = 1; printerIndex <= count; ++printerIndex) {
        printerList =
            printerList + PrnPrinterInfo(printerIndex, kPrinterNameField) + StrFromBytes({13, 10});
    }
    AppWriteLine(printerList);
}
