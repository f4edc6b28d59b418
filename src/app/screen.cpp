#include "app/screen.hpp"

#include <utility>

#include "console/output.hpp"

void AppWriteLine(Text line) {
    ConWriteStdOut(std::move(line));
    ConStdOutNewLine();
}

Text AppBannerLine() {
    const Text bullet = StrFromBytes({249});
    return bullet + " VIRODARO " + bullet;
}
