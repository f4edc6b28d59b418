#include "app/run_fault.hpp"

#include <string>

void AppNoteFault(AppFault& fault, AppFaultSource source, int32_t number) {
    if (fault.source == AppFaultSource::kNone) fault = {source, static_cast<uint8_t>(number)};
}

void AppNoteRunError(AppFault& fault, AppFaultSource source) {
    if (RtErrorNumber() != 0) AppNoteFault(fault, source, RtErrorNumber());
}

Text AppNoPageLine(const AppFault& fault) {
    const char* why = "";
    switch (fault.source) {
        case AppFaultSource::kCurrentDirectory:
            why = "the current directory could not be read";
            break;
        case AppFaultSource::kScreen:
            why = "the screen could not be written";
            break;
        case AppFaultSource::kSettingsNotOpened:
            why = "VIRODARO.CFG File could not be opened";
            break;
        case AppFaultSource::kSettingsTooShort:
            why = "VIRODARO.CFG File has no second line";
            break;
        case AppFaultSource::kSettingsNotRead:
            why = "VIRODARO.CFG File could not be read";
            break;
        // Without a noted fault the attach, the last step that can keep the page, failed.
        case AppFaultSource::kNone:
        case AppFaultSource::kNoPrinter:
            why = "no printer could be attached";
            break;
        case AppFaultSource::kJobNotHandedOver:
            why = "the printer did not take the page";
            break;
    }
    std::string line = std::string(" ....No page printed: ") + why;
    // A printer that is simply not there raises nothing, and then there is no number to give.
    if (fault.number != 0) line += " (runtime error " + std::to_string(fault.number) + ")";
    return Text(std::string_view(line + "."));
}
