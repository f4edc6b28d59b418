#include "app/settings.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/current_directory.hpp"
#include "platform/files.hpp"
#include "platform/sim/sim.hpp"
#include "testing/sim_runtime.hpp"

namespace {

using Names = std::vector<std::string>;

const std::string kSaved = " \r\n ....Saved VIRODARO.CFG File.\r\n";
const std::string kNotSaved = " \r\n ....VIRODARO.CFG File was not saved.\r\n";

class SettingsTest : public SimRuntimeTest {
  protected:
    void SetUp() override { StartRuntime({.stdOutput = sim::Stream::kRedirected}); }

    static std::string Screen() { return sim::RedirectedBytes(platform::StdHandle::kOutput); }
    static Text Work() { return "C:\\WORK"; }
};

TEST_F(SettingsTest, ExistFindsFilesAndDirectoriesButNotHiddenOrSystemEntries) {
    sim::AddFile("VIRODARO.CFG", "");
    sim::AddFile("RO.CFG", "", platform::kFileAttributeReadOnly);
    sim::AddFile("HIDDEN.CFG", "", platform::kFileAttributeHidden);
    sim::AddFile("SYSTEM.CFG", "", platform::kFileAttributeSystem);
    sim::AddDirectory("SUB");
    EXPECT_EQ(AppExist("C:\\WORK\\VIRODARO.CFG"), -1);
    EXPECT_EQ(AppExist("RO.CFG"), -1);
    EXPECT_EQ(AppExist("C:\\WORK\\SUB"), -1);
    EXPECT_EQ(AppExist("C:\\WORK"), -1);
    EXPECT_EQ(AppExist("C:\\WORK\\MISSING.CFG"), 0);
    EXPECT_EQ(AppExist("HIDDEN.CFG"), 0);
    EXPECT_EQ(AppExist("SYSTEM.CFG"), 0);
    EXPECT_EQ(AppExist("NOWHERE\\*.*"), 0);
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(SettingsTest, ExistOnAPatternAndTheEmptyPathWalksTheAdmittedEntries) {
    sim::AddFile("A.CFG", "");
    sim::AddFile("B.CFG", "", platform::kFileAttributeHidden);
    sim::AddFile("C.CFG", "");
    EXPECT_EQ(AppExist("*.CFG"), -1);
    EXPECT_EQ(AppExist(Text()), -1);  // C.CFG: the hidden B.CFG is passed over
    EXPECT_EQ(AppExist(Text()), 0);
    EXPECT_EQ(AppExist(Text()), 0);
}

TEST_F(SettingsTest, ExistKeepsItsErrorsToItself) {
    EXPECT_EQ(AppExist(Text(std::string(platform::MaxPathLength() + 1, 'A'))), 0);
    EXPECT_EQ(AppExist(Text(std::string_view("A\0B", 3))), 0);
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(SettingsTest, TheSettingsPathJoinsTheStartDirectoryAndTheName) {
    EXPECT_EQ(AppSettingsPath("C:\\WORK"), Text("C:\\WORK\\VIRODARO.CFG"));
    EXPECT_EQ(AppSettingsPath("C:\\"), Text("C:\\\\VIRODARO.CFG"));
    sim::AddFile("C:\\VIRODARO.CFG", "");
    EXPECT_EQ(AppExist(AppSettingsPath("C:\\")), -1);
}

TEST_F(SettingsTest, SavingWritesExactlyTheTwoLinesThatTheNextRunReads) {
    AppSaveSettings(Work(), "12", "-8");
    EXPECT_EQ(sim::FileBytes("VIRODARO.CFG"), "\x31\x32\x0D\x0A\x2D\x38\x0D\x0A");
    EXPECT_EQ(Screen(), kSaved);
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(sim::DirectoryNames(Work().Data()), Names{"VIRODARO.CFG"});

    Text x, y;
    AppFault fault;
    AppReadSettings(x, y, fault);
    EXPECT_EQ(fault.source, AppFaultSource::kNone);
    EXPECT_EQ(x, Text("12"));
    EXPECT_EQ(y, Text("-8"));
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(sim::OpenFileCount(), 0);
}

TEST_F(SettingsTest, SavingReplacesTheOldFileThroughAFlushedNewFileOfItsOwn) {
    const std::string pending = "VIRODARO.CFG." + std::to_string(sim::kProcessId) + "-1.tmp";
    for (const bool oldFile : {true, false}) {
        StartRuntime({.stdOutput = sim::Stream::kRedirected});
        RtErrorFrame run;
        if (oldFile) sim::AddFile("VIRODARO.CFG", "0\r\n0\r\n", platform::kFileAttributeHidden);
        AppSaveSettings(Work(), "3", "4");
        EXPECT_EQ(sim::FileBytes("VIRODARO.CFG"), "3\r\n4\r\n");
        EXPECT_EQ(sim::DirectoryNames(Work().Data()), Names{"VIRODARO.CFG"});
        EXPECT_EQ(RtErrorNumber(), 0);
        EXPECT_EQ(Screen(), kSaved);
        const auto calls = sim::FileCalls();
        const auto at = [&](const std::string& call) {
            return std::find(calls.begin(), calls.end(), call) - calls.begin();
        };
        const auto end = calls.end() - calls.begin();
        EXPECT_LT(at("CreateFileA " + pending), at("FlushFileBuffers"));
        EXPECT_LT(at("FlushFileBuffers"), at("ReplaceFileA VIRODARO.CFG " + pending));
        if (oldFile) {
            // The old file's attributes stay with the new content.
            EXPECT_EQ(sim::FileAttributes("VIRODARO.CFG"), platform::kFileAttributeHidden);
            EXPECT_EQ(at("MoveFileExA " + pending + " VIRODARO.CFG"), end);
        } else {
            EXPECT_LT(at("ReplaceFileA VIRODARO.CFG " + pending),
                      at("MoveFileExA " + pending + " VIRODARO.CFG"));
        }
        EXPECT_EQ(at("DeleteFileA C:\\WORK\\VIRODARO.CFG"), end);
    }
}

TEST_F(SettingsTest, WhatStandsAtThePendingNamesIsNeverWrittenOrTaken) {
    const auto pending = [](int attempt) {
        return "VIRODARO.CFG." + std::to_string(sim::kProcessId) + "-" + std::to_string(attempt) +
               ".tmp";
    };
    sim::AddFile(pending(1), "theirs");
    sim::AddFile(pending(2), "read-only", platform::kFileAttributeReadOnly);
    sim::AddDirectory(pending(3));
    AppSaveSettings(Work(), "12", "-8");
    EXPECT_EQ(sim::FileBytes("VIRODARO.CFG"), "12\r\n-8\r\n");
    EXPECT_EQ(sim::FileBytes(pending(1)), "theirs");
    EXPECT_EQ(sim::FileBytes(pending(2)), "read-only");
    EXPECT_EQ(sim::DirectoryNames(Work().Data()),
              (Names{"VIRODARO.CFG", pending(1), pending(2), pending(3)}));
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(Screen(), kSaved);

    // Every name taken: the save gives up after a bounded number of names, touching none.
    StartRuntime({.stdOutput = sim::Stream::kRedirected});
    RtErrorFrame run;
    Names planted;
    for (int attempt = 1; attempt <= 8; ++attempt) {
        sim::AddFile(pending(attempt), "theirs");
        planted.push_back(pending(attempt));
    }
    sim::AddFile("VIRODARO.CFG", "5\r\n7\r\n");
    AppSaveSettings(Work(), "12", "-8");
    EXPECT_EQ(RtErrorNumber(), 75);
    EXPECT_EQ(Screen(), kNotSaved);
    EXPECT_EQ(sim::FileBytes("VIRODARO.CFG"), "5\r\n7\r\n");
    for (const std::string& name : planted)
        EXPECT_EQ(sim::FileBytes(name), "theirs") << name;
    planted.insert(planted.begin(), "VIRODARO.CFG");
    std::sort(planted.begin(), planted.end());
    EXPECT_EQ(sim::DirectoryNames(Work().Data()), planted);
}

TEST_F(SettingsTest, SavingGoesToTheStartDirectoryWhereverTheProcessIsNow) {
    sim::AddDirectory("C:\\ELSEWHERE");
    SysChDir("C:\\ELSEWHERE");
    AppSaveSettings(Work(), "1", "2");
    EXPECT_EQ(sim::FileBytes("C:\\WORK\\VIRODARO.CFG"), "1\r\n2\r\n");
    EXPECT_EQ(sim::DirectoryNames("C:\\ELSEWHERE"), Names{});
}

TEST_F(SettingsTest, AReadOnlySettingsFileKeepsItsContentAndTheFailureIsReported) {
    sim::AddFile("VIRODARO.CFG", "0\r\n0\r\n", platform::kFileAttributeReadOnly);
    AppSaveSettings(Work(), "12", "-8");
    EXPECT_EQ(sim::FileBytes("VIRODARO.CFG"), "0\r\n0\r\n");
    EXPECT_EQ(RtErrorNumber(), 70);
    EXPECT_EQ(Screen(), kNotSaved);
    EXPECT_EQ(sim::DirectoryNames(Work().Data()), Names{"VIRODARO.CFG"});
}

TEST_F(SettingsTest, NoFailureOfASaveLosesTheOldFileOrLeavesATemporaryOne) {
    struct Case {
        const char* what;
        void (*arrange)();
        int error;
    } cases[] = {
        {"full disk", [] { sim::SetFreeSpace(5); }, 61},
        {"failing write", [] { sim::FailNextWrite(platform::kErrorGenFailure); }, 72},
        {"failing flush",
         [] { sim::FailNextCall(sim::FileCall::kFlushFileBuffers, platform::kErrorDiskFull); }, 61},
        {"failing close",
         [] { sim::FailNextCall(sim::FileCall::kCloseHandle, platform::kErrorGenFailure); }, 72},
        {"failing replacement",
         [] { sim::FailNextCall(sim::FileCall::kReplaceFile, platform::kErrorAccessDenied); }, 70},
        {"failing open",
         [] { sim::FailNextCall(sim::FileCall::kCreateFile, platform::kErrorAccessDenied); }, 70},
        {"held settings file",
         [] { sim::HoldFile("VIRODARO.CFG", platform::kGenericRead, platform::kFileShareRead); },
         70},
    };
    for (const Case& c : cases) {
        StartRuntime({.stdOutput = sim::Stream::kRedirected});
        RtErrorFrame run;
        sim::AddFile("VIRODARO.CFG", "5\r\n7\r\n");
        c.arrange();
        AppSaveSettings(Work(), "12", "-8");
        EXPECT_EQ(sim::FileBytes("VIRODARO.CFG"), "5\r\n7\r\n") << c.what;
        EXPECT_EQ(sim::DirectoryNames(Work().Data()), Names{"VIRODARO.CFG"}) << c.what;
        EXPECT_EQ(RtErrorNumber(), c.error) << c.what;
        EXPECT_EQ(Screen(), kNotSaved) << c.what;
        EXPECT_EQ(sim::OpenFileCount(), 0) << c.what;
    }
}

TEST_F(SettingsTest, AStartDirectoryTooLongForTheOsTouchesNoFile) {
    std::string deep = "C:\\WORK";
    while (deep.size() <= platform::MaxPathLength())
        deep += "\\LEVEL";
    sim::EnterDirectory(deep);
    sim::AddFile(deep + "\\VIRODARO.CFG", "5\r\n7\r\n");
    const Text startDir = SysCurDir(Text());
    EXPECT_EQ(AppExist(AppSettingsPath(startDir)), 0);
    AppSaveSettings(startDir, "12", "-8");
    EXPECT_EQ(RtErrorNumber(), 64);
    EXPECT_EQ(Screen(), kNotSaved);
    EXPECT_EQ(sim::FileBytes(deep + "\\VIRODARO.CFG"), "5\r\n7\r\n");
    for (const std::string& call : sim::FileCalls()) {
        EXPECT_EQ(call.find("CreateFileA"), std::string::npos) << call;
        EXPECT_EQ(call.find("DeleteFileA"), std::string::npos) << call;
        EXPECT_EQ(call.find("MoveFileExA"), std::string::npos) << call;
    }
}

TEST_F(SettingsTest, ReadingAShortOrUnreadableFileLeavesTextsEmptyAndAnError) {
    using enum AppFaultSource;
    struct Case {
        const char* what;
        void (*arrange)();
        const char* x;
        const char* y;
        int error;
        // The first failure, which the run tells the user about.
        AppFaultSource source;
        int firstError;
    } cases[] = {
        {"one line", [] { sim::AddFile("VIRODARO.CFG", "5\r\n"); }, "5", "", 62, kSettingsTooShort,
         62},
        {"LF line ends", [] { sim::AddFile("VIRODARO.CFG", "5\n7\n"); }, "5\n7\n", "", 62,
         kSettingsTooShort, 62},
        {"empty", [] { sim::AddFile("VIRODARO.CFG", ""); }, "", "", 62, kSettingsTooShort, 62},
        {"a directory", [] { sim::AddDirectory("VIRODARO.CFG"); }, "", "", 52, kSettingsNotOpened,
         70},
        {"no file", [] {}, "", "", 52, kSettingsNotOpened, 53},
        // Only a regular file is read, whatever a device would give.
        {"a device", [] { sim::AddDevice("VIRODARO.CFG", "1\r\n2\r\n"); }, "", "", 52,
         kSettingsNotOpened, 75},
        {"more lines", [] { sim::AddFile("VIRODARO.CFG", "1\r\n2\r\n3\r\n"); }, "1", "2", 0, kNone,
         0},
    };
    for (const Case& c : cases) {
        StartRuntime({});
        RtErrorFrame run;
        c.arrange();
        Text x = "old", y = "old";
        AppFault fault;
        AppReadSettings(x, y, fault);
        EXPECT_EQ(x, Text(c.x)) << c.what;
        EXPECT_EQ(y, Text(c.y)) << c.what;
        EXPECT_EQ(RtErrorNumber(), c.error) << c.what;
        EXPECT_EQ(fault.source, c.source) << c.what;
        EXPECT_EQ(fault.number, c.firstError) << c.what;
        EXPECT_EQ(sim::OpenFileCount(), 0) << c.what;
    }
}

TEST_F(SettingsTest, AnEarlierFaultStaysTheOneToTell) {
    sim::AddFile("VIRODARO.CFG", "5\r\n");
    Text x, y;
    AppFault fault{AppFaultSource::kScreen, 61};
    AppReadSettings(x, y, fault);
    EXPECT_EQ(fault.source, AppFaultSource::kScreen);
    EXPECT_EQ(fault.number, 61);
    EXPECT_EQ(RtErrorNumber(), 62);
}

}  // namespace
