#include "app/offsets.hpp"

#include "runtime/number.hpp"

void AppNormaliseOffsets(AppOffsets& offsets) {
    const bool resetPair = (offsets.xText.Empty() && offsets.yText.Empty()) ||
                           (offsets.xText == Text("0") && offsets.yText == Text("0")) ||
                           (offsets.xText == Text("00") && offsets.yText == Text("00"));
    if (resetPair) offsets.fromSettingsFile = false;
    if (offsets.xText.Empty()) offsets.xText = "0";
    if (offsets.yText.Empty()) offsets.yText = "0";
}

void AppParseOffsets(AppOffsets& offsets) {
    offsets.xOffset = static_cast<float>(TextToNum(offsets.xText));
    offsets.yOffset = static_cast<float>(TextToNum(offsets.yText));
}
