#include "app/prompts.hpp"

#include "app/screen.hpp"
#include "console/line_input.hpp"
#include "console/output.hpp"

void AppShowDiagram() {
    static constexpr const char* kLines[] = {
        " ",
        " top left",
        "               Y                 Note:       center circle equals 50 pixals",
        "    x-         |                         2nd center circle equals 100 pixals",
        "    |          |                         3rd center circle equals 150 pixals",
        "    |          |                         3rd center circle equals 200 pixals",
        "  | X----------+----------X |",
        "    |          |",
        "    |          |",
        "    x+         |",
        "         y-    |    y+",
        "        <----- Y ----->",
        " ",
    };
    for (const char* line : kLines)
        AppWriteLine(line);
}

void AppAskOffsets(AppOffsets& offsets) {
    ConPrint(" Please Enter value to align paper on X axis: ");
    offsets.xText = ConLineInput();
    ConPrint(" Please Enter value to align paper on Y axis: ");
    offsets.yText = ConLineInput();
}

bool AppAskToSave() {
    ConPrint(" Save setting (Y/N)");
    const Text answer = ConLineInput();
    return answer == Text("y") || answer == Text("Y");
}
