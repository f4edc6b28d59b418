#include "files/directory.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/files.hpp"
#include "platform/sim/sim.hpp"
#include "testing/sim_runtime.hpp"

namespace {

using platform::kFileAttributeHidden;
using platform::kFileAttributeReadOnly;
using platform::kFileAttributeSystem;

class DirectoryTest : public SimRuntimeTest {
  protected:
    // C:\WORK\D: A.TXT, B.TXT (read-only), C.TXT, HIDDEN.TXT, SYSTEM.SYS, SUB (a directory).
    static void MakeListedDirectory() {
        sim::AddFile("D\\A.TXT", "a");
        sim::AddFile("D\\B.TXT", "b", kFileAttributeReadOnly);
        sim::AddFile("D\\C.TXT", "c");
        sim::AddFile("D\\HIDDEN.TXT", "h", kFileAttributeHidden);
        sim::AddFile("D\\SYSTEM.SYS", "s", kFileAttributeSystem);
        sim::AddDirectory("D\\SUB");
    }
    // The first name for the pattern and every continuation, until the empty text.
    static std::vector<std::string> Listing(const Text& pattern, uint32_t mask) {
        std::vector<std::string> names;
        for (Text name = FileDir(pattern, mask); !name.Empty(); name = FileDir(Text(), 0)) {
            names.emplace_back(name.Bytes());
        }
        return names;
    }
    static bool Called(const std::string& prefix) {
        const auto calls = sim::FileCalls();
        return std::any_of(calls.begin(), calls.end(),
                           [&](const auto& call) { return call.rfind(prefix, 0) == 0; });
    }
    using Names = std::vector<std::string>;
};

TEST_F(DirectoryTest, TheMaskAdmitsEntriesByTheirAttributes) {
    MakeListedDirectory();
    EXPECT_EQ(Listing("D\\*.*", 0), (Names{"A.TXT", "B.TXT", "C.TXT"}));
    EXPECT_EQ(Listing("D\\*.*", kFileAttrReadOnly), (Names{"A.TXT", "B.TXT", "C.TXT"}));
    EXPECT_EQ(Listing("D\\*.*", kFileAttrHidden), (Names{"A.TXT", "B.TXT", "C.TXT", "HIDDEN.TXT"}));
    EXPECT_EQ(Listing("D\\*.*", kFileAttrSystem | kFileAttrDirectory),
              (Names{"A.TXT", "B.TXT", "C.TXT", "SUB", "SYSTEM.SYS"}));
    EXPECT_EQ(Listing("D\\*.*", kFileAttrOnly | kFileAttrDirectory), (Names{"SUB"}));
    EXPECT_EQ(Listing("D\\*.*", kFileAttrOnly | kFileAttrHidden | kFileAttrSystem),
              (Names{"HIDDEN.TXT", "SYSTEM.SYS"}));
    // 0x80 without a kind bit to go with it is dropped.
    EXPECT_EQ(Listing("D\\*.*", kFileAttrOnly | kFileAttrReadOnly),
              (Names{"A.TXT", "B.TXT", "C.TXT"}));
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(DirectoryTest, PatternsThatNameADirectorySearchAllOfItAndNeverGiveDotEntries) {
    MakeListedDirectory();
    EXPECT_EQ(Listing("D\\", kFileAttrDirectory).size(), 4u);
    EXPECT_EQ(Listing("D\\SUB\\", kFileAttrDirectory), Names{});  // only "." and ".."
    EXPECT_EQ(Listing("C:\\", kFileAttrDirectory), Names{"WORK"});
    EXPECT_EQ(Listing("C:", kFileAttrDirectory), Names{"D"});  // the drive's directory
    EXPECT_EQ(Listing("D\\SUB", kFileAttrDirectory), Names{"SUB"});
    EXPECT_EQ(Listing("D\\SUB", 0), Names{});
}

TEST_F(DirectoryTest, NothingFoundIsTheEmptyTextWithoutAnError) {
    MakeListedDirectory();
    EXPECT_TRUE(FileDir("D\\*.BAK", 0).Empty());
    EXPECT_TRUE(FileDir("MISSING\\*.*", 0).Empty());
    EXPECT_TRUE(FileDir("\\\\SERVER\\SHARE\\*.*", 0).Empty());
    EXPECT_TRUE(FileDir(Text(), 0).Empty());  // no search runs
    sim::FailNextCall(sim::FileCall::kFindNextFile, platform::kErrorGenFailure);
    EXPECT_EQ(FileDir("D\\*.TXT", 0), Text("A.TXT"));
    EXPECT_TRUE(FileDir(Text(), 0).Empty());
    EXPECT_EQ(sim::OpenSearchCount(), 0);
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(DirectoryTest, ASearchStaysOpenUntilItRunsOutOrAnotherStarts) {
    MakeListedDirectory();
    EXPECT_EQ(FileDir("D\\*.TXT", 0), Text("A.TXT"));
    EXPECT_EQ(sim::OpenSearchCount(), 1);
    EXPECT_EQ(FileDir("D\\C*", 0), Text("C.TXT"));  // the first search is closed
    EXPECT_EQ(sim::OpenSearchCount(), 1);
    EXPECT_TRUE(FileDir(Text(), kFileAttrHidden).Empty());  // the mask stays the search's
    EXPECT_EQ(sim::OpenSearchCount(), 0);

    EXPECT_EQ(FileDir("D\\*.TXT", 0), Text("A.TXT"));
    RtThreadBlockShutdown();  // shut-down closes what is still open
    EXPECT_EQ(sim::OpenSearchCount(), 0);
}

TEST_F(DirectoryTest, APatternTheOsCannotTakeWholeRaises64AndKeepsTheRunningSearch) {
    MakeListedDirectory();
    EXPECT_EQ(FileDir("D\\*.TXT", 0), Text("A.TXT"));
    const std::string tooLong(platform::MaxPathLength() - 2, 'x');
    EXPECT_TRUE(FileDir(Text(tooLong + "\\"), 0).Empty());  // "*.*" makes it too long
    EXPECT_EQ(RtErrorNumber(), 64);
    EXPECT_TRUE(FileDir(Text(std::string_view("D\\\0*", 4)), 0).Empty());
    EXPECT_EQ(FileDir(Text(), 0), Text("B.TXT"));
}

TEST_F(DirectoryTest, MaskEightGivesTheVolumeLabelAndLeavesNoSearch) {
    MakeListedDirectory();
    sim::SetVolumeLabel('C', "DATA");
    EXPECT_EQ(FileDir("D\\*.*", 0), Text("A.TXT"));
    EXPECT_EQ(FileDir("C:", kFileAttrVolumeLabel), Text("DATA"));
    EXPECT_EQ(sim::FileCalls().back(), "GetVolumeInformationA C:\\");
    EXPECT_EQ(sim::OpenSearchCount(), 0);
    EXPECT_TRUE(FileDir(Text(), 0).Empty());
    EXPECT_EQ(FileDir("c:\\anything", kFileAttrVolumeLabel), Text("DATA"));
    EXPECT_TRUE(FileDir("Q:", kFileAttrVolumeLabel).Empty());
    EXPECT_TRUE(FileDir("\\\\SERVER\\SHARE", kFileAttrVolumeLabel).Empty());
    EXPECT_EQ(sim::FileCalls().back(), "GetVolumeInformationA \\\\SERVER\\SHARE\\");
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(DirectoryTest, KillDeletesTheMatchingFilesAndRaises53WhenNothingMatches) {
    MakeListedDirectory();
    FileKill("D\\A.TXT");
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_FALSE(sim::FileBytes("D\\A.TXT"));
    FileKill("D\\A.TXT");
    EXPECT_EQ(RtErrorNumber(), 53);
    RtErrorFrame missingDirectory;
    FileKill("NOWHERE\\*.*");
    EXPECT_EQ(RtErrorNumber(), 76);
    RtErrorFrame empty;
    FileKill(Text());
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(DirectoryTest, KillPassesOverHiddenSystemAndDirectoryEntries) {
    MakeListedDirectory();
    FileKill("D\\*.S*");
    FileKill("D\\H*");
    FileKill("D\\S*");
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(sim::DirectoryNames("D"),
              (Names{"A.TXT", "B.TXT", "C.TXT", "HIDDEN.TXT", "SUB", "SYSTEM.SYS"}));
}

TEST_F(DirectoryTest, KillStopsAtAReadOnlyFileAndKeepsWhatItDeletedBefore) {
    MakeListedDirectory();
    FileKill("D\\*.TXT");
    EXPECT_EQ(RtErrorNumber(), 70);
    EXPECT_EQ(sim::DirectoryNames("D"),
              (Names{"B.TXT", "C.TXT", "HIDDEN.TXT", "SUB", "SYSTEM.SYS"}));
    EXPECT_EQ(sim::OpenSearchCount(), 0);

    RtErrorFrame held;
    sim::HoldFile("D\\C.TXT", platform::kGenericRead, platform::kFileShareRead);
    FileKill("D\\C.TXT");
    EXPECT_EQ(RtErrorNumber(), 70);
    EXPECT_TRUE(sim::FileBytes("D\\C.TXT"));
}

TEST_F(DirectoryTest, KillNeverCutsAPath) {
    // The first 255 bytes of the pattern name the directory D itself, so cutting the
    // pattern there would delete everything in it.
    MakeListedDirectory();
    std::string pattern = "C:\\WORK\\D\\\\";
    while (pattern.size() < 255)
        pattern += ".\\";
    ASSERT_EQ(pattern.size(), 255u);
    pattern += std::string(platform::MaxPathLength() + 1 - pattern.size(), 'x');
    ASSERT_EQ(pattern.size(), platform::MaxPathLength() + 1);
    FileKill(Text(pattern));
    EXPECT_EQ(RtErrorNumber(), 64);
    EXPECT_FALSE(Called("FindFirstFileA"));
    EXPECT_FALSE(Called("DeleteFileA"));
    EXPECT_EQ(sim::DirectoryNames("D").size(), 6u);
}

TEST_F(DirectoryTest, RenameReplacesAFileInOneStepUnlessTheTargetIsReadOnly) {
    sim::AddFile("NEW.TMP", "new");
    sim::AddFile("OLD.CFG", "old");
    FileRename("NEW.TMP", "OLD.CFG");
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(sim::FileBytes("OLD.CFG"), "new");
    EXPECT_FALSE(sim::FileBytes("NEW.TMP"));

    sim::AddFile("NEW.TMP", "newer");
    sim::AddFile("OLD.CFG", "kept", kFileAttributeReadOnly);
    FileRename("NEW.TMP", "OLD.CFG");
    EXPECT_EQ(RtErrorNumber(), 70);
    EXPECT_EQ(sim::FileBytes("OLD.CFG"), "kept");
    EXPECT_EQ(sim::FileBytes("NEW.TMP"), "newer");
}

TEST_F(DirectoryTest, RenameRaisesForBadNamesAndOsFailures) {
    sim::AddFile("A.TMP", "a");
    for (const auto& [from, to] : std::vector<std::pair<Text, Text>>{
             {Text(), "B"}, {"A.TMP", Text()}, {"A.*", "B"}, {"A.TMP", "B?"}}) {
        RtErrorFrame errors;
        FileRename(from, to);
        EXPECT_EQ(RtErrorNumber(), 64);
    }
    EXPECT_FALSE(Called("MoveFileExA"));
    FileRename("MISSING", "B");
    EXPECT_EQ(RtErrorNumber(), 53);
    RtErrorFrame failing;
    sim::FailNextCall(sim::FileCall::kMoveFile, platform::kErrorDiskFull);
    FileRename("A.TMP", "B");
    EXPECT_EQ(RtErrorNumber(), 61);
    EXPECT_EQ(sim::FileBytes("A.TMP"), "a");
}

}  // namespace
