// Every key that the terminal database (Debian's ncurses-term) lists for the terminals
// people use, typed at the terminal probe on a pseudo-terminal as that terminal sends it.
// What each must give comes from the key its capability names (kf1 is F1, kLFT5 Ctrl+Left),
// as the Windows console reports that key: no event text is taken from the decoder. The
// database gives the keys of keypad-transmit mode, which the program never asks for: what
// the terminals send outside it, where that differs, comes from the terminals themselves.
// Mouse reports are typed with the probe's mouse reporting off and on.

#include <unistd.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "lib/pty_run.hpp"

namespace {

std::string probePath;

// How a terminal numbers the function keys past F12 (terminfo's kf13 and on).
enum class FunctionKeys {
    // xterm and the terminals that follow it: twelve keys for each set of modifiers, in
    // the order none, Shift, Ctrl, Ctrl+Shift, Alt, Alt+Shift (kf13 Shift+F1, kf25 Ctrl+F1).
    kXterm,
    // The VT220 family (the Linux console, PuTTY, rxvt): the VT220's F11..F20 are F11, F12
    // and Shift with F3..F10 (Shift with F1 and F2 gives F11 and F12 there), then Shift with
    // F11 and F12; rxvt counts the same 22 keys again with Ctrl (kf23..kf44).
    kVt220,
};

// How an entry names the keypad's keys by place (terminfo's ka1 "upper left" to kc3).
enum class KeypadPlaces {
    kPc,     // the PC keypad's 3 by 3: ka1 is 7 (Home), kb2 5, kc3 3 (PgDn)
    kVt100,  // ncurses' vt100 entry's: ka1 is 1, ka3 3, kb2 2, kc1 0, kc3 the full stop
};

struct TerminalType {
    const char* entry;  // as `toe -a` lists it
    FunctionKeys functionKeys;
    KeypadPlaces keypad;
};

const TerminalType kTerminalTypes[] = {
    {"xterm", FunctionKeys::kXterm, KeypadPlaces::kPc},
    {"vte", FunctionKeys::kXterm, KeypadPlaces::kPc},    // GNOME Terminal and VTE's others
    {"gnome", FunctionKeys::kXterm, KeypadPlaces::kPc},  // old GNOME Terminal: SS3 1;2 P
    {"konsole", FunctionKeys::kXterm, KeypadPlaces::kPc},
    {"screen", FunctionKeys::kXterm, KeypadPlaces::kPc},
    {"tmux", FunctionKeys::kXterm, KeypadPlaces::kPc},
    {"linux", FunctionKeys::kVt220, KeypadPlaces::kPc},
    {"putty", FunctionKeys::kVt220, KeypadPlaces::kVt100},
    {"rxvt", FunctionKeys::kVt220, KeypadPlaces::kPc},
    {"rxvt-unicode", FunctionKeys::kVt220, KeypadPlaces::kPc},
    {"st", FunctionKeys::kXterm, KeypadPlaces::kPc},
    {"kitty", FunctionKeys::kXterm, KeypadPlaces::kPc},
    {"alacritty", FunctionKeys::kXterm, KeypadPlaces::kPc},
    // foot installs its own entry; ncurses-term holds its keys in this building block.
    {"foot+base", FunctionKeys::kXterm, KeypadPlaces::kPc},
    {"mintty", FunctionKeys::kXterm, KeypadPlaces::kPc},
    {"ms-terminal", FunctionKeys::kXterm, KeypadPlaces::kPc},  // Windows Terminal
    {"iTerm2.app", FunctionKeys::kXterm, KeypadPlaces::kPc},
    {"iTerm.app", FunctionKeys::kXterm, KeypadPlaces::kVt100},
    {"xterm-256color", FunctionKeys::kXterm, KeypadPlaces::kPc},
    {"xfce", FunctionKeys::kXterm, KeypadPlaces::kPc},
    {"terminology", FunctionKeys::kXterm, KeypadPlaces::kPc},
    {"mlterm", FunctionKeys::kXterm, KeypadPlaces::kVt100},
    {"mrxvt", FunctionKeys::kXterm, KeypadPlaces::kPc},
    {"Eterm", FunctionKeys::kVt220, KeypadPlaces::kPc},
    {"teraterm", FunctionKeys::kVt220, KeypadPlaces::kVt100},
    {"cygwin", FunctionKeys::kVt220, KeypadPlaces::kPc},  // the Cygwin console
};

void PrintTo(const TerminalType& terminal, std::ostream* out) { *out << terminal.entry; }

// Bytes that two terminals give different meanings: the program can take only one, and
// takes the other terminal's.
struct SharedBytes {
    const char* entry;
    const char* capability;
    const char* readAs;  // the capability whose key these bytes are taken for
};
const SharedBytes kSharedBytes[] = {
    // PuTTY sends VT100's PF1..PF4 for NumLock and the keypad's / * -: xterm's F1..F4.
    {"putty", "kpNUM", "kf1"},
    {"putty", "kpDIV", "kf2"},
    {"putty", "kpMUL", "kf3"},
    {"putty", "kpSUB", "kf4"},
    // The "F0" of PuTTY and Tera Term is the code of their keypad 9, mrxvt's is its F10.
    {"putty", "kf0", "kp9"},
    {"teraterm", "kf0", "kp9"},
    {"mrxvt", "kf0", "kf10"},
    // Eterm names rxvt's Shift+Up and Shift+Down the scroll keys the other way round.
    {"Eterm", "kind", "kUP"},
    {"Eterm", "kri", "kDN"},
    // PC keyboards have no keypad comma: PuTTY and the Linux console send its code for '+'.
    {"xterm", "kpCMA", "kpADD"},
    {"xterm-256color", "kpCMA", "kpADD"},
    // rxvt sends Ctrl+Shift with the arrows as every other terminal sends the arrows alone
    // in application cursor mode.
    {"rxvt", "kUP6", "kcuu1"},
    {"rxvt", "kDN6", "kcud1"},
    {"rxvt", "kLFT6", "kcub1"},
    {"rxvt", "kRIT6", "kcuf1"},
};

// PC keyboard scan codes (set 1), as the Windows console reports them.
enum Scan : int {
    kF1 = 59,
    kF11 = 87,
    kHome = 71,
    kUp = 72,
    kPageUp = 73,
    kLeft = 75,
    kCentre = 76,  // the keypad's 5 without NumLock
    kRight = 77,
    kEnd = 79,
    kDown = 80,
    kPageDown = 81,
    kInsert = 82,
    kDelete = 83,
};

// A key's event text (hex bytes, as the probe writes them) and the modifiers held
// ("S", "C", "A" in that order, "-" for none; empty where the capability does not say).
struct Meaning {
    std::string text;
    std::string modifiers;
};

std::string Hex(int byte) {
    char text[4];
    std::snprintf(text, sizeof text, "%02x", byte);
    return text;
}

Meaning KeyWithout(int scanCode, std::string modifiers = "-") {
    return {"00 " + Hex(scanCode), std::move(modifiers)};
}

int FunctionScan(int number) { return number <= 10 ? kF1 + number - 1 : kF11 + number - 11; }

// xterm's modifier numbers in terminfo's names (kUP3): 1 + (Shift 1, Alt 2, Ctrl 4).
std::string ModifiersOf(int number) {
    const int bits = number - 1;
    std::string held;
    if (bits & 1) held += 'S';
    if (bits & 4) held += 'C';
    if (bits & 2) held += 'A';
    return held.empty() ? "-" : held;
}

std::optional<Meaning> FunctionKey(int n, FunctionKeys keys) {
    if (keys == FunctionKeys::kXterm) {
        static const char* const kGroups[] = {"-", "S", "C", "SC", "A", "SA"};
        if (n < 1 || n > 72) return std::nullopt;
        return KeyWithout(FunctionScan((n - 1) % 12 + 1), kGroups[(n - 1) / 12]);
    }
    if (n < 1 || n > 44) return std::nullopt;
    const int key = (n - 1) % 22 + 1;
    std::string held = key <= 12 ? "" : "S";
    if (n > 22) held += 'C';
    const int number = key <= 12 ? key : key - 10;
    return KeyWithout(FunctionScan(number), held.empty() ? "-" : held);
}

// What terminals send outside keypad-transmit mode where their entry gives other bytes for
// the key, as the terminals send it with their default settings (seen in st 0.9 and
// alacritty 0.11 under an X server; tests/emulator_keys.sh types some of them there): st
// puts its editing keys on the VT100's editing functions, alacritty's keypad Enter is LF.
struct LocalForm {
    const char* entry;
    const char* key;
    const char* bytes;
    Meaning meaning;
};

const std::vector<LocalForm>& LocalForms() {
    static const std::vector<LocalForm> kForms = {
        {"st", "Delete", "\x1b[P", KeyWithout(kDelete)},
        {"st", "Insert", "\x1b[4h", KeyWithout(kInsert)},
        {"st", "Shift+Insert (keypad)", "\x1b[4l", KeyWithout(kInsert, "S")},
        {"st", "Shift+Home", "\x1b[2J", KeyWithout(kHome, "S")},
        {"st", "Shift+End", "\x1b[K", KeyWithout(kEnd, "S")},
        {"st", "Shift+Delete", "\x1b[2K", KeyWithout(kDelete, "S")},
        {"st", "Ctrl+End", "\x1b[J", KeyWithout(kEnd, "C")},
        {"st", "Ctrl+Insert", "\x1b[L", KeyWithout(kInsert, "C")},
        {"st", "Ctrl+Delete", "\x1b[M", KeyWithout(kDelete, "C")},
        {"st", "Home", "\x1b[H", KeyWithout(kHome)},
        {"st", "keypad 5", "\x1b[E", KeyWithout(kCentre)},
        {"st", "keypad Enter", "\r", {"0d", "-"}},
        {"alacritty", "keypad Enter", "\n", {"0d", "-"}},
    };
    return kForms;
}

// The keypad by place, as its cursor keys (the keys it is without NumLock).
std::optional<Meaning> KeypadPlace(const std::string& place, KeypadPlaces places) {
    static const std::map<std::string, int> kPc = {
        {"ka1", kHome},  {"ka2", kUp},  {"ka3", kPageUp}, {"kb1", kLeft},     {"kb2", kCentre},
        {"kb3", kRight}, {"kc1", kEnd}, {"kc2", kDown},   {"kc3", kPageDown},
    };
    static const std::map<std::string, int> kVt100 = {
        {"ka1", kEnd}, {"ka3", kPageDown}, {"kb2", kDown}, {"kc1", kInsert}, {"kc3", kDelete},
    };
    const auto& table = places == KeypadPlaces::kPc ? kPc : kVt100;
    const auto found = table.find(place);
    if (found == table.end()) return std::nullopt;
    return KeyWithout(found->second);
}

// The key a capability names; none for a capability this test does not know.
std::optional<Meaning> MeaningOf(const std::string& name, const TerminalType& terminal) {
    for (const SharedBytes& shared : kSharedBytes) {
        if (terminal.entry == std::string(shared.entry) && name == shared.capability) {
            return MeaningOf(shared.readAs, terminal);
        }
    }
    static const std::map<std::string, Meaning> kPlain = {
        {"kcuu1", KeyWithout(kUp)},
        {"kcud1", KeyWithout(kDown)},
        {"kcub1", KeyWithout(kLeft)},
        {"kcuf1", KeyWithout(kRight)},
        {"khome", KeyWithout(kHome)},
        {"kend", KeyWithout(kEnd)},
        {"kich1", KeyWithout(kInsert)},
        {"kdch1", KeyWithout(kDelete)},
        {"kpp", KeyWithout(kPageUp)},
        {"knp", KeyWithout(kPageDown)},
        // The VT220's Find and Select keys, which these terminals put on Home and End.
        {"kfnd", KeyWithout(kHome)},
        {"kslt", KeyWithout(kEnd)},
        // The keypad's 5 ("begin"), its Enter and operators, and its keys by number; its
        // keys by place follow below.
        {"kbeg", KeyWithout(kCentre)},
        {"kBEG", KeyWithout(kCentre, "S")},
        {"kent", {"0d", "-"}},
        {"kpADD", {"2b", "-"}},
        {"kpSUB", {"2d", "-"}},
        {"kpMUL", {"2a", "-"}},
        {"kpDIV", {"2f", "-"}},
        {"kp1", KeyWithout(kEnd)},
        {"kp2", KeyWithout(kDown)},
        {"kp3", KeyWithout(kPageDown)},
        {"kp4", KeyWithout(kLeft)},
        {"kp5", KeyWithout(kCentre)},
        {"kp6", KeyWithout(kRight)},
        {"kp7", KeyWithout(kHome)},
        {"kp8", KeyWithout(kUp)},
        {"kp9", KeyWithout(kPageUp)},
        {"kpZRO", KeyWithout(kInsert)},
        {"kpDOT", KeyWithout(kDelete)},
        {"kbs", {"08", "-"}},   // Backspace is 8, whatever the terminal sends for it
        {"kspd", {"1a", "C"}},  // suspend: Ctrl+Z, an ordinary key in raw mode
        // Keys whose modifiers the entries choose differently: back-tab (Shift+Tab, or Alt
        // on the Linux console), the scroll keys (Shift+Up and Down, or the arrows alone),
        // and the line-editing keys that st and rxvt put on the editing keys.
        {"kcbt", {"09", ""}},
        {"kcbt2", {"09", ""}},
        {"kri", KeyWithout(kUp, "")},
        {"kind", KeyWithout(kDown, "")},
        {"kel", KeyWithout(kEnd, "")},
        {"ked", KeyWithout(kEnd, "")},
        {"kdl1", KeyWithout(kDelete, "")},
        {"kclr", KeyWithout(kDelete, "")},
        {"kil1", KeyWithout(kInsert, "")},
        {"krmir", KeyWithout(kInsert, "")},
    };
    if (const auto found = kPlain.find(name); found != kPlain.end()) return found->second;
    if (auto place = KeypadPlace(name, terminal.keypad)) return place;

    // Modified keys: kUP (Shift) and kUP2..kUP8 (xterm's modifier numbers).
    static const std::map<std::string, int> kModifiable = {
        {"kUP", kUp},      {"kDN", kDown},      {"kLFT", kLeft},  {"kRIT", kRight},
        {"kHOM", kHome},   {"kEND", kEnd},      {"kIC", kInsert}, {"kDC", kDelete},
        {"kPRV", kPageUp}, {"kNXT", kPageDown}, {"kFND", kHome},
    };
    size_t digits = name.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1])))
        --digits;
    const std::string stem = name.substr(0, digits);
    const int number = digits < name.size() ? std::stoi(name.substr(digits)) : 0;
    if (const auto found = kModifiable.find(stem); found != kModifiable.end()) {
        if (number == 0) return KeyWithout(found->second, "S");
        if (number >= 2 && number <= 8) return KeyWithout(found->second, ModifiersOf(number));
        return std::nullopt;
    }
    if (stem == "kf" && number > 0) return FunctionKey(number, terminal.functionKeys);
    // The VT220's Help key is its F15.
    if (name == "khlp" && terminal.functionKeys == FunctionKeys::kVt220) {
        return FunctionKey(15, terminal.functionKeys);
    }
    return std::nullopt;
}

// Terminfo's string escapes.
std::string Unescape(const std::string& text) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '^' && i + 1 < text.size()) {
            const char next = text[++i];
            bytes += next == '?' ? '\x7f' : static_cast<char>(next & 0x1f);
        } else if (c == '\\' && i + 1 < text.size()) {
            const char next = text[++i];
            if (next >= '0' && next <= '7') {
                int value = 0;
                size_t used = 0;
                while (used < 3 && i < text.size() && text[i] >= '0' && text[i] <= '7') {
                    value = value * 8 + (text[i++] - '0');
                    ++used;
                }
                --i;
                bytes += static_cast<char>(value == 0 ? 0x80 : value);  // \0 stands for NUL
            } else {
                static const std::map<char, char> kEscapes = {
                    {'E', '\x1b'}, {'e', '\x1b'}, {'n', '\n'}, {'l', '\n'}, {'r', '\r'},
                    {'t', '\t'},   {'b', '\b'},   {'f', '\f'}, {'s', ' '},
                };
                const auto found = kEscapes.find(next);
                bytes += found != kEscapes.end() ? found->second : next;  // \^ \\ \, \:
            }
        } else {
            bytes += c;
        }
    }
    return bytes;
}

// The key capabilities of an entry (name and bytes), as `infocmp -1 -x` prints them.
std::vector<std::pair<std::string, std::string>> KeyCapabilities(const std::string& entry) {
    std::vector<std::pair<std::string, std::string>> keys;
    const std::string command = "infocmp -1 -x '" + entry + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return keys;
    char line[4096];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string text(line);
        if (text.empty() || text[0] != '\t') continue;  // comments and the entry's names
        while (!text.empty() && (text.back() == '\n' || text.back() == ','))
            text.pop_back();
        const size_t equals = text.find('=');
        if (text.size() < 2 || text[1] != 'k' || equals == std::string::npos) continue;
        keys.emplace_back(text.substr(1, equals - 1), Unescape(text.substr(equals + 1)));
    }
    pclose(pipe);
    return keys;
}

std::string Printable(const std::string& bytes) {
    std::string text;
    for (unsigned char c : bytes)
        text += c == 0x1b           ? std::string("\\E")
                : c < 32 || c > 126 ? "\\x" + Hex(c)
                                    : std::string(1, c);
    return text;
}

// One key to type: its capability, the bytes the terminal sends, and what must come out.
struct Typed {
    std::string capability;
    std::string bytes;
    Meaning meaning;
};

// What the probe must report for a mouse report: a press of the left button.
const Meaning kLeftPress = {"ff ff 04 01", ""};

// The keys to type with mouse reporting off: each key once as the entry gives it; the
// cursor keys that the entry gives in their application-mode form (SS3) also in their
// normal form (CSI), which the terminal sends while the program has not asked for the
// other; the terminal's other forms outside keypad-transmit mode; and `ESC [ M`, which
// cannot start a mouse report then: st's Ctrl+Delete. The mouse reports to type once
// reporting is on go to `reports`.
std::vector<Typed> KeysToType(const TerminalType& terminal, std::vector<std::string>* unknown,
                              std::vector<Typed>* reports) {
    std::vector<Typed> typed;
    for (const auto& [name, bytes] : KeyCapabilities(terminal.entry)) {
        if (name == "kmous") {
            // The start of a mouse report: a whole one (a press at the top left).
            reports->push_back(
                {name, bytes + (bytes.back() == '<' ? "0;1;1M" : " !!"), kLeftPress});
            continue;
        }
        const std::optional<Meaning> meaning = MeaningOf(name, terminal);
        if (!meaning) {
            unknown->push_back(name);
            continue;
        }
        typed.push_back({name, bytes, *meaning});
        static const std::set<std::string> kCursorKeys = {"kcuu1", "kcud1", "kcub1", "kcuf1",
                                                          "khome", "kend",  "kbeg"};
        const bool applicationForm = bytes.size() == 3 && bytes.compare(0, 2, "\x1bO") == 0 &&
                                     std::string("ABCDHFE").find(bytes[2]) != std::string::npos;
        if (applicationForm && kCursorKeys.count(name) != 0) {
            typed.push_back({name, "\x1b[" + bytes.substr(2), *meaning});
        }
    }
    for (const LocalForm& form : LocalForms()) {
        if (terminal.entry == std::string(form.entry)) {
            typed.push_back({std::string(form.key) + " outside keypad-transmit mode", form.bytes,
                             form.meaning});
        }
    }
    typed.push_back({"ESC [ M (mouse off)", "\x1b[M", KeyWithout(kDelete, "C")});
    return typed;
}

// Between two keys the test types a comma, which ends nothing and shows where each key's
// events stop; Ctrl+D ends the run.
constexpr char kSeparator[] = ",";
constexpr char kSeparatorText[] = "2c";
constexpr char kLastKey[] = "\x04";
constexpr char kLastKeyText[] = "04";

size_t sequencesChecked = 0;
size_t typesChecked = 0;
std::set<std::string> distinctSequences;

class TerminfoKeys : public ::testing::TestWithParam<TerminalType> {};

// The events between separators in the probe's file, one list per key typed.
using Events = std::vector<std::vector<std::pair<std::string, std::string>>>;
Events EventsPerKey(const std::string& path) {
    Events perKey(1);
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        const size_t tab = line.find('\t');
        const std::string text = line.substr(0, tab);
        const std::string held = tab == std::string::npos ? "" : line.substr(tab + 1);
        if (text == kSeparatorText) {
            perKey.emplace_back();
        } else if (text != kLastKeyText) {
            perKey.back().emplace_back(text, held);
        }
    }
    std::filesystem::remove(path);
    return perKey;
}

// Types the keys, each followed by a separator, and then the last key.
bool TypeKeys(PtyRun& run, const std::vector<Typed>& keys) {
    for (const Typed& key : keys) {
        if (!run.Write(key.bytes) || !run.Write(kSeparator)) return false;
    }
    return run.Write(kLastKey);
}

// Each key must have given one event, the one its meaning names.
void CheckEvents(const TerminalType& terminal, const std::vector<Typed>& keys,
                 const Events& perKey) {
    ASSERT_EQ(perKey.size(), keys.size() + 1) << "separators lost: a key swallowed the next";
    for (size_t i = 0; i < keys.size(); ++i) {
        const Typed& key = keys[i];
        const auto& got = perKey[i];
        const std::string where =
            std::string(terminal.entry) + " " + key.capability + "=" + Printable(key.bytes);
        if (got.size() != 1) {
            ADD_FAILURE() << where << ": " << ::testing::PrintToString(got);
            continue;
        }
        EXPECT_EQ(got[0].first, key.meaning.text) << where;
        if (!key.meaning.modifiers.empty()) {
            EXPECT_EQ(got[0].second, key.meaning.modifiers) << where;
        }
    }
}

TEST_P(TerminfoKeys, EveryKeyGivesTheEventOfTheKeyItNames) {
    const TerminalType& terminal = GetParam();
    std::vector<std::string> unknown;
    std::vector<Typed> reports;
    const std::vector<Typed> keys = KeysToType(terminal, &unknown, &reports);
    ASSERT_GT(keys.size(), 10u) << "no entry " << terminal.entry << " (ncurses-term missing?)";
    EXPECT_TRUE(unknown.empty()) << "capabilities without a known key: "
                                 << ::testing::PrintToString(unknown);

    const std::string events =
        (std::filesystem::temp_directory_path() / ("terminfo-keys-" + std::to_string(getpid())))
            .string();
    const std::string reportEvents = events + "-mouse";
    // The terminal's erase character is what its Backspace key sends.
    char erase = '\x7f';
    for (const Typed& key : keys) {
        if (key.capability == "kbs" && key.bytes.size() == 1) erase = key.bytes[0];
    }
    // The keys with mouse reporting off; then, once the probe has switched it on as the
    // closing screen does, the mouse reports.
    constexpr char kMouseOn[] = "mouse-on";
    PtyRun run(probePath,
               {"out:ready", std::string("keystates:") + kLastKeyText + ":" + events, "mouse",
                std::string("out:") + kMouseOn,
                std::string("keystates:") + kLastKeyText + ":" + reportEvents},
               {false, terminal.entry, erase});
    ASSERT_TRUE(WaitUntilReady(run));
    sequencesChecked += keys.size() + reports.size();
    ++typesChecked;
    for (const Typed& key : keys)
        distinctSequences.insert(key.bytes);
    for (const Typed& key : reports)
        distinctSequences.insert(key.bytes);
    ASSERT_TRUE(TypeKeys(run, keys));
    ASSERT_TRUE(run.ReadUntil(kMouseOn));
    ASSERT_TRUE(TypeKeys(run, reports));
    run.Wait();

    CheckEvents(terminal, keys, EventsPerKey(events));
    CheckEvents(terminal, reports, EventsPerKey(reportEvents));
}

std::string TestName(const ::testing::TestParamInfo<TerminalType>& info) {
    std::string name;
    for (const char* c = info.param.entry; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Terminals, TerminfoKeys, ::testing::ValuesIn(kTerminalTypes), TestName);

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s TERMINAL_PROBE\n", argv[0]);
        return 2;
    }
    probePath = argv[1];
    const int result = RUN_ALL_TESTS();
    std::printf("%zu terminal types, %zu key sequences checked (%zu different ones)\n",
                typesChecked, sequencesChecked, distinctSequences.size());
    return result;
}
