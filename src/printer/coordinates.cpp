#include "printer/coordinates.hpp"

#include <cstdint>

#include "printer/document.hpp"
#include "printer/printer_state.hpp"
#include "runtime/errors.hpp"

namespace {

void DropWindow() {
    gPrinter.originX = gPrinter.originY = 0;
    gPrinter.factorX = gPrinter.factorY = 0;
    gPrinter.flags &= ~(kPrnFlipX | kPrnFlipY);
}

// One axis of a window from its two edges over `extent` device pixels.
void SetAxis(float low, float high, int32_t extent, float* origin, float* factor, PrnFlag flip) {
    if (low < high) {
        *origin = low;
        *factor = static_cast<float>(extent / (static_cast<double>(high) - low));
    } else {
        *origin = high;
        *factor = static_cast<float>(extent / (static_cast<double>(low) - high));
        gPrinter.flags |= flip;
    }
}

}  // namespace

void PrnScale(float x1, float y1, float x2, float y2) {
    if (!PrnRequirePage()) return;
    if (x1 == x2 || y1 == y2) {
        RtRaiseError(kRtErrInvalidArgument);
        return;
    }
    gPrinter.flags &= ~(kPrnFlipX | kPrnFlipY);
    SetAxis(x1, x2, gPrinter.printableWidth, &gPrinter.originX, &gPrinter.factorX, kPrnFlipX);
    SetAxis(y1, y2, gPrinter.printableHeight, &gPrinter.originY, &gPrinter.factorY, kPrnFlipY);
    if (gPrinter.originX == 0 && gPrinter.originY == 0 && gPrinter.factorX == 1.0f &&
        gPrinter.factorY == 1.0f) {
        DropWindow();
    }
}

void PrnScaleReset() {
    if (!PrnEnsurePage()) return;
    DropWindow();
}

PrnWindow PrnGetScale() {
    if (!PrnEnsurePage()) return {0, 0, 0, 0};
    if (!PrnScaled())
        return {0, 0, double(gPrinter.printableWidth), double(gPrinter.printableHeight)};
    return {gPrinter.originX, gPrinter.originY,
            gPrinter.originX + gPrinter.printableWidth / double(gPrinter.factorX),
            gPrinter.originY + gPrinter.printableHeight / double(gPrinter.factorY)};
}
