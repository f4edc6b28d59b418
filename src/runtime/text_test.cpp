#include "runtime/text.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <string_view>

#include "testing/sim_runtime.hpp"

using namespace std::string_view_literals;

namespace {

class TextTest : public SimRuntimeTest {};

TEST_F(TextTest, EmptyTextAndZeroLengthTextAreOneValue) {
    const Text none;
    const Text literal("");
    const Text bytes(""sv);
    EXPECT_TRUE(literal.Empty());
    EXPECT_EQ(bytes.Data(), nullptr);
    EXPECT_EQ(none, literal);
    EXPECT_EQ(StrCompare(none, bytes), 0);
    EXPECT_LT(none, Text("\0"sv));  // the empty text is less than any other, even one NUL
}

TEST_F(TextTest, BlockCarriesItsLengthBeforeAndNulAfterTheBytes) {
    const Text text("a\0b"sv);
    uint32_t length;
    std::memcpy(&length, text.Data() - 4, 4);
    EXPECT_EQ(length, 3u);
    EXPECT_EQ(text.Length(), 3u);
    EXPECT_EQ(text.Data()[3], '\0');
}

TEST_F(TextTest, ComparesBytesAsUnsignedAndShorterPrefixFirst) {
    EXPECT_LT(Text("ab"), Text("abc"));
    EXPECT_LT(Text("B"), Text("a"));
    EXPECT_NE(Text("y"), Text("Y"));
    EXPECT_GT(Text("\x80"), Text("z"));  // byte 128 sorts after ASCII
    EXPECT_LT(Text("a\0b"sv), Text("a\0c"sv));
    EXPECT_GT(Text("a\0"sv), Text("a"));
    EXPECT_EQ(Text("a\0b"sv), Text("a\0b"sv));
}

TEST_F(TextTest, ConcatenationKeepsEveryByteOfBoth) {
    const Text joined = Text("x\0"sv) + Text("\0y"sv);
    EXPECT_EQ(joined.Bytes(), "x\0\0y"sv);
    EXPECT_EQ(Text() + Text("a"), Text("a"));
    EXPECT_TRUE((Text() + Text()).Empty());
}

TEST_F(TextTest, StrFromBytesTakesLowBytesAndSkipsMinusOne) {
    EXPECT_EQ(StrFromBytes({255, 255, 8, 2}).Bytes(), "\xFF\xFF\x08\x02"sv);
    EXPECT_EQ(StrFromBytes({0x1F9, -1, 0}).Bytes(), "\xF9\0"sv);
    EXPECT_TRUE(StrFromBytes({-1}).Empty());
}

TEST_F(TextTest, CopiesAreIndependentAndReuseABlockOfTheSameLength) {
    Text target("abc");
    const char* block = target.Data();
    const Text source("xyz");
    target = source;
    EXPECT_EQ(target.Data(), block);  // same length: the block is reused
    EXPECT_EQ(target, Text("xyz"));
    EXPECT_NE(target.Data(), source.Data());

    Text moved = std::move(target);
    EXPECT_TRUE(target.Empty());
    EXPECT_EQ(moved, Text("xyz"));
}

TEST_F(TextTest, ReleasesEveryBlockItMakes) {
    const int before = sim::LiveTextBlocks();
    {
        Text a("one");
        Text b = a + Text(" two");
        a = b;
        b = Text("three");
        Text c = std::move(b);
        c = c;
    }
    EXPECT_EQ(sim::LiveTextBlocks(), before);
}

TEST_F(TextTest, FailedAllocationRaisesSevenAndGivesTheEmptyText) {
    sim::FailTextAllocationsAfter(0);
    const Text text("abc");
    EXPECT_TRUE(text.Empty());
    EXPECT_EQ(RtErrorNumber(), kRtErrOutOfMemory);

    sim::FailTextAllocationsAfter(1);
    const Text first("a");
    const Text joined = first + Text("b");  // "b" takes the last allocation
    EXPECT_TRUE(joined.Empty());
}

}  // namespace
