#include "platform/posix/terminal/input_decoder_posix.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace platform::posix {
namespace {

// Key-downs as "char scan state" (hex), mouse records as "mouse x,y buttons flags state";
// every key-down must be followed by its key-up.
std::vector<std::string> Describe(InputDecoder& decoder) {
    std::vector<std::string> events;
    auto& records = decoder.Records();
    while (!records.empty()) {
        const InputRecord record = records.front();
        records.pop_front();
        char text[80];
        if (record.kind == InputKind::kMouse) {
            const MouseRecord& m = record.mouse;
            std::snprintf(text, sizeof text, "mouse %d,%d %x %x %x", m.position.x, m.position.y,
                          m.buttonState, m.eventFlags, m.controlKeyState);
        } else {
            const KeyRecord& k = record.key;
            EXPECT_TRUE(k.keyDown);
            EXPECT_FALSE(records.empty() || records.front().key.keyDown) << "no key-up";
            if (!records.empty()) records.pop_front();
            std::snprintf(text, sizeof text, "%02x %d %x", static_cast<uint8_t>(k.character),
                          k.scanCode, k.controlKeyState);
        }
        events.push_back(text);
    }
    return events;
}

enum class Mouse { kOff, kOn };

// Feeds the bytes at once, then lets any wait run out.
std::vector<std::string> Decode(const std::string& bytes, InputDecoder::Settings settings = {},
                                Mouse mouse = Mouse::kOff) {
    InputDecoder decoder(settings);
    decoder.SetMouseReports(mouse == Mouse::kOn);
    decoder.Feed(bytes, 1000);
    decoder.Expire(100000);
    return Describe(decoder);
}

using Events = std::vector<std::string>;

TEST(InputDecoder, PlainKeysGetTheirUsKeyboardScanCodes) {
    EXPECT_EQ(Decode("aQ1!"), (Events{"61 30 0", "51 16 10", "31 2 0", "21 2 10"}));
    EXPECT_EQ(Decode("\r\t\x7f"), (Events{"0d 28 0", "09 15 0", "08 14 0"}));
    EXPECT_EQ(Decode("\x03\x01\x1a"), (Events{"03 46 8", "01 30 8", "1a 44 8"}));
    EXPECT_EQ(Decode(" ~"), (Events{"20 57 0", "7e 41 10"}));
}

TEST(InputDecoder, ALoneLineFeedIsEnterAndCrLfIsOneEnter) {
    EXPECT_EQ(Decode("\n"), (Events{"0d 28 0"}));
    EXPECT_EQ(Decode("\x1b\n"), (Events{"0d 28 2"}));
    EXPECT_EQ(Decode("1\r\n2\n\r"), (Events{"31 2 0", "0d 28 0", "32 3 0", "0d 28 0", "0d 28 0"}));
}

TEST(InputDecoder, TheEraseKeyIsBackspaceWhateverItSends) {
    EXPECT_EQ(Decode("\x08", {true, 8}), (Events{"08 14 0"}));
    EXPECT_EQ(Decode("\x08", {true, 127}), (Events{"08 35 8"}));  // Ctrl+H otherwise
}

TEST(InputDecoder, CursorAndEditingKeysInEveryDialect) {
    const struct {
        const char* bytes;
        const char* event;
    } cases[] = {
        {"\x1b[A", "00 72 100"},    {"\x1bOB", "00 80 100"},  {"\x1b[C", "00 77 100"},
        {"\x1bOD", "00 75 100"},    {"\x1b[H", "00 71 100"},  {"\x1bOF", "00 79 100"},
        {"\x1b[1~", "00 71 100"},   {"\x1b[4~", "00 79 100"}, {"\x1b[7~", "00 71 100"},
        {"\x1b[8~", "00 79 100"},   {"\x1b[2~", "00 82 100"}, {"\x1b[3~", "00 83 100"},
        {"\x1b[5~", "00 73 100"},   {"\x1b[6~", "00 81 100"}, {"\x1b[1;5A", "00 72 108"},
        {"\x1b[3;2~", "00 83 110"}, {"\x1b[5$", "00 73 110"}, {"\x1b[6^", "00 81 108"},
        {"\x1b[2@", "00 82 118"},   {"\x1b[Z", "09 15 10"},   {"\x1bOM", "0d 28 100"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Decode(c.bytes), (Events{c.event})) << c.bytes + 1;
}

// st sends its editing keys as the VT100's editing functions while the program has not
// asked for keypad-transmit mode.
TEST(InputDecoder, StsEditingKeysOutsideKeypadTransmitMode) {
    const struct {
        const char* bytes;
        const char* event;
    } cases[] = {
        {"\x1b[P", "00 83 100"},  {"\x1b[4h", "00 82 100"}, {"\x1b[4l", "00 82 110"},
        {"\x1b[2J", "00 71 110"}, {"\x1b[K", "00 79 110"},  {"\x1b[2K", "00 83 110"},
        {"\x1b[J", "00 79 108"},  {"\x1b[L", "00 82 108"},  {"\x1b[M", "00 83 108"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Decode(c.bytes + std::string("x")), (Events{c.event, "78 45 0"})) << c.bytes + 1;
    // The same letters with other numbers are no keys; P with a modifier is still F1.
    EXPECT_EQ(Decode("\x1b[3J\x1b[1K\x1b[1;2P"), (Events{"00 59 10"}));
}

TEST(InputDecoder, FunctionKeysInEveryDialect) {
    const struct {
        const char* bytes;
        const char* event;
    } cases[] = {
        {"\x1bOP", "00 59 0"},     {"\x1bOS", "00 62 0"},   {"\x1b[11~", "00 59 0"},
        {"\x1b[14~", "00 62 0"},   {"\x1b[[A", "00 59 0"},  {"\x1b[[E", "00 63 0"},
        {"\x1b[1;2P", "00 59 10"}, {"\x1b[15~", "00 63 0"}, {"\x1b[17~", "00 64 0"},
        {"\x1b[21~", "00 68 0"},   {"\x1b[23~", "00 87 0"}, {"\x1b[24;5~", "00 88 8"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Decode(c.bytes), (Events{c.event})) << c.bytes + 1;
}

TEST(InputDecoder, ModifiersInEveryDialect) {
    const struct {
        const char* bytes;
        const char* event;
    } cases[] = {
        // Konsole's SS3 with a modifier digit, old GNOME Terminal's SS3 with 1;m.
        {"\x1bO2P", "00 59 10"},
        {"\x1bO5P", "00 59 8"},
        {"\x1bO3Q", "00 60 2"},
        {"\x1bO1;2P", "00 59 10"},
        {"\x1bO1;6S", "00 62 18"},
        // The VT220 family's F13..F20 are Shift+F3..F10; rxvt's $ ^ @ are Shift, Ctrl, both.
        {"\x1b[25~", "00 61 10"},
        {"\x1b[34~", "00 68 10"},
        {"\x1b[23$", "00 87 10"},
        {"\x1b[11^", "00 59 8"},
        {"\x1b[25^", "00 61 18"},
        {"\x1b[24@", "00 88 18"},
        // rxvt's Shift and Ctrl arrows.
        {"\x1b[a", "00 72 110"},
        {"\x1b[d", "00 75 110"},
        {"\x1bOb", "00 80 108"},
        {"\x1bOc", "00 77 108"},
        // Meta (iTerm2, kitty) is Alt; kitty's sub-parameters; old xterm's lone modifier.
        {"\x1b[1;10A", "00 72 112"},
        {"\x1b[1;13F", "00 79 10a"},
        {"\x1b[1;5:1A", "00 72 108"},
        {"\x1b[2B", "00 80 110"},
        {"\x1b[1;2E", "00 76 10"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Decode(c.bytes), (Events{c.event})) << c.bytes + 1;
}

TEST(InputDecoder, TheApplicationKeypadIsTheKeypadWithoutNumLock) {
    const struct {
        const char* bytes;
        const char* event;
    } cases[] = {
        {"\x1bOw", "00 71 0"},   {"\x1bOx", "00 72 0"}, {"\x1bOy", "00 73 0"},
        {"\x1bOt", "00 75 0"},   {"\x1bOu", "00 76 0"}, {"\x1bOv", "00 77 0"},
        {"\x1bOq", "00 79 0"},   {"\x1bOr", "00 80 0"}, {"\x1bOs", "00 81 0"},
        {"\x1bOp", "00 82 0"},   {"\x1bOn", "00 83 0"}, {"\x1bOE", "00 76 0"},
        {"\x1b[E", "00 76 0"},   {"\x1b[G", "00 76 0"}, {"\x1bOj", "2a 55 0"},
        {"\x1bOk", "2b 78 0"},   {"\x1bOl", "2b 78 0"}, {"\x1bOm", "2d 74 0"},
        {"\x1bOo", "2f 53 100"}, {"\x1bOX", "3d 13 0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Decode(c.bytes), (Events{c.event})) << c.bytes + 1;
}

TEST(InputDecoder, SequencesThatAreNoKeysAreSwallowedWhole) {
    for (const char* bytes : {"\x1b[5;10R", "\x1b[27;5;13~", "\x1b[200~", "\x1b[I", "\x1b[>1;2c",
                              "\x1bO1;2z", "\x1b[99;5~"}) {
        EXPECT_EQ(Decode(std::string(bytes) + "x"), (Events{"78 45 0"})) << bytes + 1;
    }
    // A broken sequence ends at the Esc of the next key, which still counts.
    EXPECT_EQ(Decode("\x1b[1;\x01\x1b[B"), (Events{"00 80 100"}));
    EXPECT_EQ(Decode("\x1b[1;\x1b[B"), (Events{"00 80 100"}));
    // Esc O before a key that cannot end a sequence is Alt+Shift+O.
    EXPECT_EQ(Decode("\x1bO\x1b[A"), (Events{"4f 24 12", "00 72 100"}));
}

TEST(InputDecoder, EscBeforeAKeyOrASequenceIsAlt) {
    EXPECT_EQ(Decode("\x1bq"), (Events{"71 16 2"}));
    EXPECT_EQ(Decode("\x1b"
                     "a"),
              (Events{"61 30 2"}));
    EXPECT_EQ(Decode("\x1b\x1b[A"), (Events{"00 72 102"}));
    EXPECT_EQ(Decode("\x1b\x1b"), (Events{"1b 1 2"}));
}

TEST(InputDecoder, ALoneEscWaitsBrieflyForMore) {
    InputDecoder decoder;
    decoder.Feed("\x1b", 1000);
    EXPECT_EQ(decoder.Deadline(), 1050);
    decoder.Expire(1049);
    EXPECT_TRUE(decoder.Records().empty());
    decoder.Feed("[A", 1030);  // the rest of a sequence, split across two reads
    EXPECT_EQ(Describe(decoder), (Events{"00 72 100"}));

    decoder.Feed("\x1b", 2000);
    decoder.Expire(2050);
    EXPECT_EQ(Describe(decoder), (Events{"1b 1 0"}));
    EXPECT_FALSE(decoder.Deadline());
}

TEST(InputDecoder, AnUnfinishedSequenceBecomesKeysAfterItsWait) {
    InputDecoder decoder;
    decoder.Feed("\x1b[1", 1000);
    decoder.Expire(1299);
    EXPECT_TRUE(decoder.Records().empty());
    decoder.Expire(1300);
    EXPECT_EQ(Describe(decoder), (Events{"1b 1 0", "5b 26 0", "31 2 0"}));
}

TEST(InputDecoder, GarbageIsDroppedAndWhatFollowsStillCounts) {
    EXPECT_EQ(Decode("\x1b[99~x"), (Events{"78 45 0"}));
    EXPECT_EQ(Decode("\x1b[?1;2cy"), (Events{"79 21 0"}));
    EXPECT_EQ(Decode("\x1b[" + std::string(40, '1') + "z"), Events{});  // 'z' ends it

    InputDecoder decoder;  // too long to be anything: dropped without waiting
    decoder.Feed("\x1b[" + std::string(40, '1'), 1000);
    EXPECT_FALSE(decoder.Deadline());
    decoder.Feed("k", 1001);
    EXPECT_EQ(Describe(decoder), (Events{"6b 37 0"}));
    EXPECT_EQ(Decode("\x1bOzk"), (Events{"6b 37 0"}));
}

TEST(InputDecoder, Utf8CharactersBecomeCodePage437Bytes) {
    EXPECT_EQ(Decode("\xc3\xa9\xe2\x88\x99"), (Events{"82 0 0", "f9 0 0"}));
    EXPECT_EQ(Decode("\xe2\x82\xac"
                     "a"),
              (Events{"61 30 0"}));                               // the euro sign has none
    EXPECT_EQ(Decode("\x82", {false, 127}), (Events{"82 0 0"}));  // a terminal without UTF-8

    InputDecoder decoder;
    decoder.Feed("\xc3", 1000);  // split across reads
    decoder.Feed("\xa9", 1010);
    EXPECT_EQ(Describe(decoder), (Events{"82 0 0"}));
}

TEST(InputDecoder, SgrMouseReportsKeepTheButtonState) {
    EXPECT_EQ(
        Decode("\x1b[<0;10;5M\x1b[<2;10;5M\x1b[<0;10;5m\x1b[<2;11;5m"),
        (Events{"mouse 9,4 1 0 0", "mouse 9,4 3 0 0", "mouse 9,4 2 0 0", "mouse 10,4 0 0 0"}));
    EXPECT_EQ(Decode("\x1b[<1;1;1M\x1b[<35;3;4M\x1b[<21;1;1m"),
              (Events{"mouse 0,0 4 0 0", "mouse 2,3 4 1 0", "mouse 0,0 0 0 18"}));
    EXPECT_EQ(Decode("\x1b[<64;2;2M\x1b[<65;2;2M"),
              (Events{"mouse 1,1 780000 4 0", "mouse 1,1 ff880000 4 0"}));
}

TEST(InputDecoder, X10MouseReportsOfTerminalsWithoutSgr) {
    // Left press at 1,1 and its release; the right button at 223,2 and its release.
    EXPECT_EQ(Decode("\x1b[M !!\x1b[M#!!\x1b[M\"\xff\"\x1b[M#\xff\"x", {}, Mouse::kOn),
              (Events{"mouse 0,0 1 0 0", "mouse 0,0 0 0 0", "mouse 222,1 2 0 0",
                      "mouse 222,1 0 0 0", "78 45 0"}));
    EXPECT_EQ(Decode("\x1b[M#!!x", {}, Mouse::kOn), (Events{"78 45 0"}));  // nothing held
}

// st's Ctrl+Delete is `ESC [ M`: a key while mouse reports are off, whatever follows it.
// While they are on, a control byte or a wait that runs out shows it was no report.
TEST(InputDecoder, EscBracketMIsAKeyUnlessItCanBeAMouseReport) {
    EXPECT_EQ(Decode("\x1b[M !!"), (Events{"00 83 108", "20 57 0", "21 2 10", "21 2 10"}));
    EXPECT_EQ(Decode("\x1b\x1b[M"), (Events{"00 83 10a"}));
    EXPECT_EQ(Decode("\x1b[M\r", {}, Mouse::kOn), (Events{"00 83 108", "0d 28 0"}));
    EXPECT_EQ(Decode("\x1b[M!\x1bq", {}, Mouse::kOn), (Events{"00 83 108", "21 2 10", "71 16 2"}));

    InputDecoder decoder;
    decoder.SetMouseReports(true);
    decoder.Feed("\x1b[Ma", 1000);
    decoder.Expire(1299);
    EXPECT_TRUE(decoder.Records().empty());
    decoder.Expire(1300);
    EXPECT_EQ(Describe(decoder), (Events{"00 83 108", "61 30 0"}));
    decoder.SetMouseReports(false);
    decoder.Feed("\x1b[M", 2000);
    EXPECT_EQ(Describe(decoder), (Events{"00 83 108"}));
}

TEST(InputDecoder, ASecondPressOnTheSameCellSoonAfterIsADoubleClick) {
    InputDecoder decoder;
    decoder.Feed("\x1b[<0;4;4M\x1b[<0;4;4m", 1000);
    decoder.Feed("\x1b[<0;4;4M\x1b[<0;4;4m", 1400);
    decoder.Feed("\x1b[<0;4;4M\x1b[<0;4;4m", 1500);  // the third press starts again
    decoder.Feed("\x1b[<0;4;4M", 2100);              // too late for a double click
    EXPECT_EQ(Describe(decoder),
              (Events{"mouse 3,3 1 0 0", "mouse 3,3 0 0 0", "mouse 3,3 1 2 0", "mouse 3,3 0 0 0",
                      "mouse 3,3 1 0 0", "mouse 3,3 0 0 0", "mouse 3,3 1 0 0"}));
}

}  // namespace
}  // namespace platform::posix
