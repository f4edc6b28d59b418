#include "printer/enumeration.hpp"

#include <string>
#include <string_view>
#include <vector>

#include "platform/print.hpp"
#include "printer/printer_state.hpp"
#include "runtime/errors.hpp"
#include "runtime/startup.hpp"

namespace {

constexpr uint32_t kPlatformNt = 2;
// Texts are read up to their terminator, but at most this many bytes.
constexpr size_t kMaxFieldLength = 999;

bool Enumerate(platform::PrinterList* printers) {
    uint32_t flags = platform::kPrinterEnumLocal;
    if (RtOsVersion.platformId == kPlatformNt) {
        flags |= platform::kPrinterEnumConnections | platform::kPrinterEnumNetwork;
    }
    return PrnCallOs([&] { return platform::EnumPrintersA(flags, printers); });
}

// The record's text fields by their byte positions in a 32-bit PRINTER_INFO_2A. Position 28
// holds the device mode and 48 onward hold no text, so they are not here.
const std::string* FieldAt(const platform::PrinterInfo2& printer, int32_t position) {
    struct Row {
        int32_t position;
        std::string platform::PrinterInfo2::*field;
    };
    using Info = platform::PrinterInfo2;
    static constexpr Row kRows[] = {
        {0, &Info::serverName}, {4, &Info::printerName}, {8, &Info::shareName},
        {12, &Info::portName},  {16, &Info::driverName}, {20, &Info::comment},
        {24, &Info::location},  {32, &Info::sepFile},    {36, &Info::printProcessor},
        {40, &Info::datatype},  {44, &Info::parameters},
    };
    for (const Row& row : kRows) {
        if (row.position == position) return &(printer.*row.field);
    }
    return nullptr;
}

}  // namespace

int32_t PrnPrinterCount() {
    platform::PrinterList printers;
    if (!Enumerate(&printers)) return 0;
    return static_cast<int32_t>(printers->size());
}

PrintServerTrouble PrnServerTrouble(Text& server) {
    std::string name;
    platform::PrintServerTrouble trouble = platform::PrintServerTrouble::kNone;
    PrnCallOs([&] {
        trouble = platform::GetPrintServerTrouble(&name);
        return true;
    });
    RtErrorFrame quiet;
    server = trouble == platform::PrintServerTrouble::kNone ? Text() : Text(std::string_view(name));
    switch (trouble) {
        case platform::PrintServerTrouble::kNone:
            return PrintServerTrouble::kNone;
        case platform::PrintServerTrouble::kSilent:
            return PrintServerTrouble::kSilent;
        case platform::PrintServerTrouble::kUnusable:
            return PrintServerTrouble::kUnusable;
        case platform::PrintServerTrouble::kPassword:
            return PrintServerTrouble::kPassword;
    }
    return PrintServerTrouble::kNone;
}

Text PrnPrinterInfo(int32_t index, int32_t field) {
    if (index <= 0) return Text();
    platform::PrinterList printers;
    if (!Enumerate(&printers) || static_cast<size_t>(index) > printers->size()) return Text();
    const std::string* value = FieldAt((*printers)[index - 1], field);
    if (value == nullptr) return Text();
    std::string_view bytes(*value);
    bytes = bytes.substr(0, std::min(bytes.find('\0'), kMaxFieldLength));
    // A text that cannot be allocated is the empty text here, without an error.
    RtErrorFrame quiet;
    return Text(bytes);
}
