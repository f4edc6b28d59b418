#include "printer/device_colors.hpp"

#include <cstdint>

#include "printer/printer_state.hpp"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

}  // namespace

void PrnApplyBackground() {
    const platform::Handle dc = gPrinter.dc;
    if (gPrinter.backColor == kPrnTransparent) {
        PrnCallOs([&] { return platform::SetBkColor(dc, kWhite); });
        PrnCallOs([&] { return platform::SetBkMode(dc, platform::kTransparent); });
    } else {
        const auto back = static_cast<uint32_t>(gPrinter.backColor);
        PrnCallOs([&] { return platform::SetBkColor(dc, back); });
        PrnCallOs([&] { return platform::SetBkMode(dc, platform::kOpaque); });
    }
}

void PrnApplyColors() {
    const auto text = static_cast<uint32_t>(gPrinter.textColor);
    PrnCallOs([&] { return platform::SetTextColor(gPrinter.dc, text); });
    PrnApplyBackground();
}
