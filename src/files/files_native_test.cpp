// The file services and the settings file over the real file system of the platform
// (POSIX natively, Windows under wine), in a temporary directory.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "app/settings.hpp"
#include "console/console_state.hpp"
#include "files/current_directory.hpp"
#include "files/directory.hpp"
#include "files/file_open.hpp"
#include "files/line_records.hpp"
#include "platform/files.hpp"
#include "runtime/errors.hpp"
#include "runtime/startup.hpp"
#include "runtime/thread_block.hpp"
#include "testing/temp_directory.hpp"

namespace {

constexpr FileModeWord kRead = 0x1A1;
constexpr FileModeWord kWrite = 0x261;

class NativeFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RtFrameSetup();
        // Standard output goes to a file of its own, beside the directory under test.
        gConsole.stdOut =
            platform::CreateFileA(screen_.Path("screen.out").c_str(), platform::kGenericWrite,
                                  platform::kFileShareRead, false, platform::kCreateAlways, 0);
        ASSERT_NE(gConsole.stdOut, platform::kInvalidHandle);
    }
    void TearDown() override {
        platform::CloseHandle(gConsole.stdOut);
        gConsole.stdOut = platform::kNullHandle;
        FileTableReset();
        RtThreadBlockShutdown();
    }

    std::string Screen() const { return ReadTestFile(screen_.Path("screen.out")).value_or(""); }
    static std::set<std::string> Names() {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator("."))
            names.insert(entry.path().filename().string());
        return names;
    }
    static Text Here() { return SysCurDir(Text()); }

    TempDirectory screen_;
    TempDirectory directory_;  // made second, so it is the current directory
    RtErrorFrame errors_;
};

TEST_F(NativeFilesTest, ExistAnswersForFilesDirectoriesAndPatterns) {
    WriteTestFile("VIRODARO.CFG", "");
    WriteTestFile(".hidden", "");  // hidden on POSIX, and under wine, which follows it
    std::filesystem::create_directory("sub");
    const Text here = Here();
    EXPECT_EQ(here.Bytes(), directory_.Path());
    EXPECT_EQ(AppExist(AppSettingsPath(here)), -1);
    EXPECT_EQ(AppExist(Text(directory_.Path("sub"))), -1);
    EXPECT_EQ(AppExist(here), -1);
    EXPECT_EQ(AppExist(Text(directory_.Path("missing"))), 0);
    EXPECT_EQ(AppExist(Text(directory_.Path(".hidden"))), 0);
    EXPECT_EQ(AppExist(Text(directory_.Path("*.CFG"))), -1);
    EXPECT_EQ(AppExist(Text(directory_.Path("*.none"))), 0);
    EXPECT_EQ(AppExist(Text(directory_.Path("?IRODARO.CFG"))), -1);
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(NativeFilesTest, OpenModesAndTheirErrors) {
    WriteTestFile("old.txt", "old content");
    FileOpen(2, "old.txt", 0x262, 128);      // shares reading, so that the check can look
    EXPECT_EQ(ReadTestFile("old.txt"), "");  // output empties the file at once
    FileOpen(2, "other.txt", kWrite, 128);
    EXPECT_EQ(RtErrorNumber(), 55);
    FileClose(2);

    struct Case {
        std::string name;
        FileModeWord mode;
        int error;
    } cases[] = {
        {"missing.txt", kRead, 53},
        {std::string("nowhere") + platform::PathSeparator() + "a.txt", kRead, 76},
        {"*.txt", kWrite, 64},
        {std::string(platform::MaxPathLength() + 1, 'a'), kWrite, 64},
    };
    for (const Case& c : cases) {
        RtErrorFrame errors;
        FileOpen(1, Text(c.name), c.mode, 128);
        EXPECT_EQ(RtErrorNumber(), c.error) << c.name;
    }
    EXPECT_EQ(Names(), (std::set<std::string>{"old.txt"}));
}

TEST_F(NativeFilesTest, AFileHeldWithoutSharingRaises70) {
    WriteTestFile("held.txt", "x\r\n");
    const platform::Handle holder = platform::CreateFileA("held.txt", platform::kGenericRead, 0,
                                                          false, platform::kOpenExisting, 0);
    ASSERT_NE(holder, platform::kInvalidHandle);
    FileOpen(1, "held.txt", kRead, 128);
    EXPECT_EQ(RtErrorNumber(), 70);
    platform::CloseHandle(holder);
    RtErrorFrame afterwards;
    FileOpen(1, "held.txt", kRead, 128);
    EXPECT_EQ(FileReadLine(1), Text("x"));
    FileClose(1);
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(NativeFilesTest, LinesGoOutAndComeBackByTheLineRules) {
    const std::string longLine(700, 'L');
    FileOpen(2, "lines.txt", kWrite, 128);
    for (const char* line : {"25", "-10", "", " a, \"b\" "}) {
        FileWriteText(2, line);
        FileWriteLineEnd(2);
    }
    FileWriteText(2, Text(longLine));
    FileWriteLineEnd(2);
    FileWriteText(2,
                  "lf\nonly\x1A"
                  "after");
    FileClose(2);
    EXPECT_EQ(ReadTestFile("lines.txt")->substr(0, 9), "25\r\n-10\r\n");

    FileOpen(1, "lines.txt", kRead, 128);
    for (const char* line : {"25", "-10", "", " a, \"b\" "})
        EXPECT_EQ(FileReadLine(1), Text(line));
    EXPECT_EQ(FileReadLine(1), Text(longLine));
    EXPECT_EQ(FileReadLine(1), Text("lf\nonly"));
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_TRUE(FileReadLine(1).Empty());
    EXPECT_EQ(RtErrorNumber(), 62);
    FileClose(1);
}

TEST_F(NativeFilesTest, LockValueThreeRereadsWhatAnotherWriterAppends) {
    WriteTestFile("log.txt", "one\r\n");
    FileOpen(1, "log.txt", 0x1A3, 128);  // input; shares writing
    const platform::Handle writer = platform::CreateFileA(
        "log.txt", platform::kGenericWrite, platform::kFileShareRead | platform::kFileShareWrite,
        false, platform::kOpenExisting, 0);
    ASSERT_NE(writer, platform::kInvalidHandle);
    EXPECT_EQ(FileReadLine(1), Text("one"));
    platform::SetFilePointerEx(writer, 0, platform::kFileEnd, nullptr);
    uint32_t written = 0;
    platform::WriteFile(writer, "two\r\n", 5, &written);
    EXPECT_EQ(FileReadLine(1), Text("two"));
    platform::CloseHandle(writer);
    FileClose(1);
    EXPECT_EQ(RtErrorNumber(), 0);

    FileOpen(1, "log.txt", kRead, 128);  // shares nothing: no writer gets in
    EXPECT_EQ(platform::CreateFileA("log.txt", platform::kGenericWrite,
                                    platform::kFileShareRead | platform::kFileShareWrite, false,
                                    platform::kOpenExisting, 0),
              platform::kInvalidHandle);
    FileClose(1);
}

TEST_F(NativeFilesTest, KillDeletesWhatMatchesAndStopsAtAReadOnlyFile) {
    for (const char* name : {"a.del", "b.del", "keep.txt"})
        WriteTestFile(name, "");
    FileKill("*.del");
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(Names(), (std::set<std::string>{"keep.txt"}));

    WriteTestFile("ro.tmp", "");
    MakeReadOnly("ro.tmp");
    FileKill("*.tmp");
    EXPECT_EQ(RtErrorNumber(), 70);
    EXPECT_EQ(Names(), (std::set<std::string>{"keep.txt", "ro.tmp"}));
    RtErrorFrame again;
    FileKill("*.del");
    EXPECT_EQ(RtErrorNumber(), 53);
}

TEST_F(NativeFilesTest, SettingsAreSavedExactlyAndReadBack) {
    const Text here = Here();
    AppSaveSettings(here, "12", "-8");
    EXPECT_EQ(ReadTestFile("VIRODARO.CFG"), "\x31\x32\x0D\x0A\x2D\x38\x0D\x0A");
    EXPECT_EQ(Names(), (std::set<std::string>{"VIRODARO.CFG"}));
    EXPECT_EQ(Screen(), " \r\n ....Saved VIRODARO.CFG File.\r\n");
    Text x, y;
    AppFault fault;
    AppReadSettings(x, y, fault);
    EXPECT_EQ(x, Text("12"));
    EXPECT_EQ(y, Text("-8"));
    EXPECT_EQ(fault.source, AppFaultSource::kNone);

    AppSaveSettings(here, "0", "0");  // replacing the file
    EXPECT_EQ(ReadTestFile("VIRODARO.CFG"), "0\r\n0\r\n");
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(NativeFilesTest, TheFirstFailureOfASettingsReadIsNoted) {
    WriteTestFile("VIRODARO.CFG", "5\n7\n");  // LF is data: one line
    Text x, y;
    AppFault tooShort;
    AppReadSettings(x, y, tooShort);
    EXPECT_EQ(x, Text("5\n7\n"));
    EXPECT_EQ(tooShort.source, AppFaultSource::kSettingsTooShort);
    EXPECT_EQ(tooShort.number, 62);

    std::filesystem::remove("VIRODARO.CFG");
    std::filesystem::create_directory("VIRODARO.CFG");
    AppFault directory;
    AppReadSettings(x, y, directory);
    EXPECT_EQ(directory.source, AppFaultSource::kSettingsNotOpened);
    EXPECT_EQ(directory.number, 70);
    EXPECT_EQ(RtErrorNumber(), 52);  // the reads that had no file came last
}

TEST_F(NativeFilesTest, AReadOnlySettingsFileKeepsItsContent) {
    if (!directory_.ReadOnlyFilesAreProtected()) {
        GTEST_SKIP() << "this system lets the process write read-only files";
    }
    WriteTestFile("VIRODARO.CFG", "0\r\n0\r\n");
    MakeReadOnly("VIRODARO.CFG");
    AppSaveSettings(Here(), "12", "-8");
    EXPECT_EQ(RtErrorNumber(), 70);
    EXPECT_EQ(ReadTestFile("VIRODARO.CFG"), "0\r\n0\r\n");
    EXPECT_EQ(Names(), (std::set<std::string>{"VIRODARO.CFG"}));
    EXPECT_EQ(Screen(), " \r\n ....VIRODARO.CFG File was not saved.\r\n");
}

TEST_F(NativeFilesTest, AStartDirectoryTooLongForTheOsTouchesNothing) {
    WriteTestFile("VIRODARO.CFG", "5\r\n7\r\n");
    // The directory itself, named by a path that the OS cannot take whole.
    std::string longName = directory_.Path();
    while (longName.size() <= platform::MaxPathLength())
        longName += std::string(1, platform::PathSeparator()) + ".";
    const Text startDir(longName);
    EXPECT_EQ(AppExist(AppSettingsPath(startDir)), 0);
    AppSaveSettings(startDir, "12", "-8");
    EXPECT_EQ(RtErrorNumber(), 64);
    EXPECT_EQ(ReadTestFile("VIRODARO.CFG"), "5\r\n7\r\n");
    EXPECT_EQ(Names(), (std::set<std::string>{"VIRODARO.CFG"}));
}

TEST_F(NativeFilesTest, ChangingDirectoryAndBack) {
    std::filesystem::create_directory("sub");
    const Text here = Here();
    SysChDir("sub");
    EXPECT_EQ(Here().Bytes(), directory_.Path("sub"));
    SysChDir(here);
    EXPECT_EQ(Here(), here);
    SysChDir("missing");
    EXPECT_EQ(RtErrorNumber(), 76);
}

}  // namespace
