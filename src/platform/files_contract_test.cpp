// The file-system calls of the real backend against a temporary directory: natively for
// POSIX and under wine for Windows, so that the POSIX backend keeps the Win32 contract that
// the Windows build really has.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/files.hpp"
#include "platform/process.hpp"
#include "testing/temp_directory.hpp"

namespace {

using namespace platform;

class FilesContractTest : public ::testing::Test {
  protected:
    Handle Open(const std::string& name, uint32_t access, uint32_t share,
                uint32_t disposition = kOpenExisting) {
        SetLastError(0);
        return CreateFileA(name.c_str(), access, share, false, disposition, kFileAttributeNormal);
    }
    // Opening fails with this last error.
    void ExpectOpenFails(const std::string& name, uint32_t access, uint32_t share,
                         uint32_t disposition, uint32_t error) {
        const Handle handle = Open(name, access, share, disposition);
        EXPECT_EQ(handle, kInvalidHandle) << name;
        EXPECT_EQ(GetLastError(), error) << name;
        if (handle != kInvalidHandle) CloseHandle(handle);
    }
    static std::string Sep() { return std::string(1, PathSeparator()); }

    // Every name a search for the pattern gives, with its attributes.
    static std::vector<std::pair<std::string, uint32_t>> Search(const std::string& pattern) {
        std::vector<std::pair<std::string, uint32_t>> found;
        FindData entry{};
        const Handle search = FindFirstFileA(pattern.c_str(), &entry);
        if (search == kInvalidHandle) return found;
        do {
            found.emplace_back(entry.fileName, entry.attributes);
        } while (FindNextFileA(search, &entry));
        EXPECT_EQ(GetLastError(), kErrorNoMoreFiles);
        EXPECT_TRUE(FindClose(search));
        std::sort(found.begin(), found.end());
        return found;
    }

    TempDirectory directory_;
};

TEST_F(FilesContractTest, MissingFilesAndMissingDirectoriesFailApart) {
    ExpectOpenFails("missing.txt", kGenericRead, 0, kOpenExisting, kErrorFileNotFound);
    ExpectOpenFails("nowhere" + Sep() + "a.txt", kGenericRead, 0, kOpenExisting,
                    kErrorPathNotFound);
    ExpectOpenFails("nowhere" + Sep() + "a.txt", kGenericWrite, 0, kOpenAlways, kErrorPathNotFound);
    EXPECT_FALSE(DeleteFileA("missing.txt"));
    EXPECT_EQ(GetLastError(), kErrorFileNotFound);
    EXPECT_FALSE(SetCurrentDirectoryA("missing"));
    EXPECT_EQ(GetLastError(), kErrorFileNotFound);
    FindData entry;
    EXPECT_EQ(FindFirstFileA("*.none", &entry), kInvalidHandle);
    EXPECT_EQ(GetLastError(), kErrorFileNotFound);
    EXPECT_EQ(FindFirstFileA(("nowhere" + Sep() + "*.*").c_str(), &entry), kInvalidHandle);
    EXPECT_EQ(GetLastError(), kErrorPathNotFound);
}

TEST_F(FilesContractTest, DispositionsOnAnExistingFile) {
    const Handle created = Open("a.txt", kGenericWrite, 0, kOpenAlways);
    ASSERT_NE(created, kInvalidHandle);
    EXPECT_EQ(GetLastError(), kErrorSuccess);
    uint32_t written = 0;
    EXPECT_TRUE(WriteFile(created, "content", 7, &written));
    EXPECT_TRUE(CloseHandle(created));

    const Handle again = Open("a.txt", kGenericRead, 0, kOpenAlways);
    ASSERT_NE(again, kInvalidHandle);
    EXPECT_EQ(GetLastError(), kErrorAlreadyExists);  // a success that leaves a code
    EXPECT_TRUE(CloseHandle(again));
    ExpectOpenFails("a.txt", kGenericRead, 0, kCreateNew, kErrorFileExists);
    EXPECT_EQ(ReadTestFile("a.txt"), "content");

    const Handle truncated = Open("a.txt", kGenericWrite, 0, kCreateAlways);
    EXPECT_EQ(GetLastError(), kErrorAlreadyExists);
    EXPECT_TRUE(CloseHandle(truncated));
    EXPECT_EQ(ReadTestFile("a.txt"), "");
}

TEST_F(FilesContractTest, ReadingWritingAndPositioning) {
    WriteTestFile("a.txt", "0123456789");
    const Handle file = Open("a.txt", kGenericRead | kGenericWrite, 0);
    ASSERT_NE(file, kInvalidHandle);
    EXPECT_EQ(GetFileType(file), kFileTypeDisk);
    char buffer[16] = {};
    uint32_t read = 0;
    EXPECT_TRUE(ReadFile(file, buffer, 4, &read));
    EXPECT_EQ(std::string(buffer, read), "0123");
    uint64_t position = 0;
    EXPECT_TRUE(SetFilePointerEx(file, 2, kFileCurrent, &position));
    EXPECT_EQ(position, 6u);
    EXPECT_TRUE(SetEndOfFile(file));
    EXPECT_TRUE(SetFilePointerEx(file, 0, kFileEnd, &position));
    EXPECT_EQ(position, 6u);
    EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &read));  // the end is no failure
    EXPECT_EQ(read, 0u);
    EXPECT_TRUE(FlushFileBuffers(file));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(ReadTestFile("a.txt"), "012345");

    const Handle readOnly = Open("a.txt", kGenericRead, 0);
    uint32_t written = 0;
    EXPECT_FALSE(WriteFile(readOnly, "x", 1, &written));
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);
    EXPECT_TRUE(CloseHandle(readOnly));
}

TEST_F(FilesContractTest, ShareModesKeepOtherOpensOut) {
    WriteTestFile("a.txt", "x");
    const Handle exclusive = Open("a.txt", kGenericRead, 0);
    ASSERT_NE(exclusive, kInvalidHandle);
    ExpectOpenFails("a.txt", kGenericRead, kFileShareRead, kOpenExisting, kErrorSharingViolation);
    ExpectOpenFails("a.txt", kGenericWrite, kFileShareRead | kFileShareWrite, kOpenAlways,
                    kErrorSharingViolation);
    EXPECT_FALSE(DeleteFileA("a.txt"));
    EXPECT_EQ(GetLastError(), kErrorSharingViolation);
    EXPECT_TRUE(CloseHandle(exclusive));

    const Handle first = Open("a.txt", kGenericRead, kFileShareRead);
    const Handle second = Open("a.txt", kGenericRead, kFileShareRead);
    EXPECT_NE(first, kInvalidHandle);
    EXPECT_NE(second, kInvalidHandle);
    ExpectOpenFails("a.txt", kGenericRead, 0, kOpenExisting, kErrorSharingViolation);
    EXPECT_TRUE(CloseHandle(first));
    EXPECT_TRUE(CloseHandle(second));
    EXPECT_TRUE(DeleteFileA("a.txt"));
}

TEST_F(FilesContractTest, DirectoriesAreNoFilesToOpenOrDelete) {
    std::filesystem::create_directory("sub");
    ExpectOpenFails("sub", kGenericRead, kFileShareRead, kOpenExisting, kErrorAccessDenied);
    EXPECT_FALSE(DeleteFileA("sub"));
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);
}

TEST_F(FilesContractTest, ReadOnlyFilesRefuseWritingDeletionAndReplacement) {
    WriteTestFile("ro.txt", "kept");
    MakeReadOnly("ro.txt");
    EXPECT_FALSE(DeleteFileA("ro.txt"));
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);
    if (!directory_.ReadOnlyFilesAreProtected()) {
        GTEST_SKIP() << "this system lets the process write read-only files";
    }
    ExpectOpenFails("ro.txt", kGenericWrite, 0, kOpenAlways, kErrorAccessDenied);
    const Handle reading = Open("ro.txt", kGenericRead, 0);
    EXPECT_NE(reading, kInvalidHandle);
    CloseHandle(reading);
    WriteTestFile("new.txt", "new");
    EXPECT_FALSE(MoveFileExA("new.txt", "ro.txt", kMoveFileReplaceExisting));
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);
    EXPECT_EQ(ReadTestFile("ro.txt"), "kept");
}

TEST_F(FilesContractTest, RenameReplacesOnlyWhenAsked) {
    WriteTestFile("new.txt", "new");
    WriteTestFile("old.txt", "old");
    EXPECT_FALSE(MoveFileExA("new.txt", "old.txt", 0));
    EXPECT_EQ(GetLastError(), kErrorAlreadyExists);
    EXPECT_TRUE(
        MoveFileExA("new.txt", "old.txt", kMoveFileReplaceExisting | kMoveFileWriteThrough));
    EXPECT_EQ(ReadTestFile("old.txt"), "new");
    EXPECT_FALSE(ReadTestFile("new.txt"));
}

TEST_F(FilesContractTest, CreateNewNeverOpensAFileThatWasThere) {
    WriteTestFile("taken.txt", "theirs");
    ExpectOpenFails("taken.txt", kGenericWrite, 0, kCreateNew, kErrorFileExists);
    EXPECT_EQ(ReadTestFile("taken.txt"), "theirs");
    const Handle created = Open("new.txt", kGenericWrite, 0, kCreateNew);
    ASSERT_NE(created, kInvalidHandle);
    EXPECT_EQ(GetLastError(), kErrorSuccess);
    uint32_t written = 0;
    EXPECT_TRUE(WriteFile(created, "mine", 4, &written));
    EXPECT_TRUE(CloseHandle(created));
    EXPECT_EQ(ReadTestFile("new.txt"), "mine");
}

TEST_F(FilesContractTest, ReplaceFilePutsTheNewFileInTheOldOnesPlace) {
    WriteTestFile("new.txt", "new");
    EXPECT_FALSE(ReplaceFileA("missing.txt", "new.txt"));
    EXPECT_EQ(GetLastError(), kErrorFileNotFound);
    WriteTestFile("old.txt", "old");
    EXPECT_TRUE(ReplaceFileA("old.txt", "new.txt"));
    EXPECT_EQ(ReadTestFile("old.txt"), "new");
    EXPECT_FALSE(ReadTestFile("new.txt"));

    WriteTestFile("newer.txt", "newer");
    MakeReadOnly("old.txt");
    EXPECT_FALSE(ReplaceFileA("old.txt", "newer.txt"));
    EXPECT_EQ(ReadTestFile("old.txt"), "new");
    EXPECT_EQ(ReadTestFile("newer.txt"), "newer");
}

TEST_F(FilesContractTest, SearchesMatchWildcardsTheWindowsWayAndReportAttributes) {
    for (const char* name : {"README", "a.txt", "b.txt", "ab.txt", ".hidden"})
        WriteTestFile(name, "");
    std::filesystem::create_directory("sub");
    WriteTestFile("ro.txt", "");
    MakeReadOnly("ro.txt");

    std::vector<std::string> names;
    uint32_t subAttributes = 0, hiddenAttributes = 0, readOnlyAttributes = 0, plain = 0;
    for (const auto& [name, attributes] : Search("*.*")) {
        names.push_back(name);
        if (name == "sub") subAttributes = attributes;
        if (name == ".hidden") hiddenAttributes = attributes;
        if (name == "ro.txt") readOnlyAttributes = attributes;
        if (name == "a.txt") plain = attributes;
    }
    EXPECT_EQ(names, (std::vector<std::string>{".", "..", ".hidden", "README", "a.txt", "ab.txt",
                                               "b.txt", "ro.txt", "sub"}));
    EXPECT_TRUE(subAttributes & kFileAttributeDirectory);
    EXPECT_TRUE(hiddenAttributes & kFileAttributeHidden);
    EXPECT_TRUE(readOnlyAttributes & kFileAttributeReadOnly);
    EXPECT_FALSE(plain & (kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeSystem |
                          kFileAttributeDirectory));

    const auto marks = Search("?.txt");
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_EQ(marks[0].first, "a.txt");
    EXPECT_EQ(marks[1].first, "b.txt");
    const auto exact = Search(directory_.Path("sub"));
    ASSERT_EQ(exact.size(), 1u);
    EXPECT_EQ(exact[0].first, "sub");  // the name alone, without its directory
}

TEST_F(FilesContractTest, TheCurrentDirectoryAndItsSize) {
    std::filesystem::create_directory("sub");
    ASSERT_TRUE(SetCurrentDirectoryA("sub"));
    const std::string expected = directory_.Path("sub");
    char small[4];
    EXPECT_EQ(GetCurrentDirectoryA(sizeof small, small), expected.size() + 1);
    std::string buffer(expected.size() + 1, '\0');
    EXPECT_EQ(GetCurrentDirectoryA(static_cast<uint32_t>(buffer.size()), buffer.data()),
              expected.size());
    EXPECT_EQ(buffer.c_str(), expected);
}

}  // namespace
