#include "platform/posix/terminal/cp437_posix.hpp"

#include <gtest/gtest.h>

#include <string>

namespace platform::posix {
namespace {

std::string Utf8Of(uint8_t byte) {
    std::string out;
    AppendCp437AsUtf8(byte, out);
    return out;
}

TEST(Cp437, ShowsBytesAsTheConsoleGlyphsInUtf8) {
    EXPECT_EQ(Utf8Of('A'), "A");
    EXPECT_EQ(Utf8Of(249), "\u2219");  // the banner's bullet
    EXPECT_EQ(Utf8Of(0xC4), "\u2500");
    EXPECT_EQ(Utf8Of(0x82), "\u00E9");
    EXPECT_EQ(Utf8Of(13), "\u266A");  // control codes are glyphs in cells
    EXPECT_EQ(Utf8Of(127), "\u2302");
}

TEST(Cp437, EveryGlyphMapsBackToItsByte) {
    for (int byte = 1; byte < 256; ++byte) {
        std::string utf8 = Utf8Of(static_cast<uint8_t>(byte));
        char32_t codePoint = 0;
        const auto lead = static_cast<unsigned char>(utf8[0]);
        if (utf8.size() == 1) {
            codePoint = lead;
        } else if (utf8.size() == 2) {
            codePoint = ((lead & 0x1F) << 6) | (utf8[1] & 0x3F);
        } else {
            codePoint = ((lead & 0x0F) << 12) | ((utf8[1] & 0x3F) << 6) | (utf8[2] & 0x3F);
        }
        EXPECT_EQ(Cp437FromUnicode(codePoint), byte) << "byte " << byte;
    }
    EXPECT_EQ(Cp437FromUnicode(U'\u20AC'), -1);  // the euro sign is not in code page 437
}

}  // namespace
}  // namespace platform::posix
