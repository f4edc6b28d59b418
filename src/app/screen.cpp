#include "app/screen.hpp"

#include <string>
#include <utility>

#include "console/output.hpp"

void AppWriteLine(Text line) {
    ConWriteStdOut(std::move(line));
    ConStdOutNewLine();
}

Text AppShownAsData(const Text& text) {
    std::string bytes(text.Bytes());
    for (char& byte : bytes) {
        if (byte == 7 || byte == 8 || byte == 9 || byte == 10 || byte == 13) byte = '?';
    }
    return Text(std::string_view(bytes));
}

Text AppBannerLine() {
    const Text bullet = StrFromBytes({249});
    return bullet + " VIRODARO " + bullet;
}
