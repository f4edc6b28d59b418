// The POSIX file backend where it differs from a plain POSIX program: share modes held
// against other processes, read-only files held against a privileged process, and the
// file types of descriptors that are no regular files.

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/files.hpp"
#include "platform/posix/common/handles_posix.hpp"
#include "platform/process.hpp"
#include "testing/temp_directory.hpp"

namespace {

using namespace platform;

// A second process that opens a file the way it is told, then holds it until released.
class FileHolder {
  public:
    FileHolder(const std::string& path, uint32_t access, uint32_t shareMode) {
        if (pipe(ready_) != 0 || pipe(release_) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            const Handle held =
                CreateFileA(path.c_str(), access, shareMode, false, kOpenExisting, 0);
            const char opened = held != kInvalidHandle ? 'y' : 'n';
            (void)!write(ready_[1], &opened, 1);
            char done;
            (void)!read(release_[0], &done, 1);
            _exit(0);
        }
        char opened = 'n';
        (void)!read(ready_[0], &opened, 1);
        holding_ = opened == 'y';
    }
    ~FileHolder() {
        if (pid_ > 0) {
            (void)!write(release_[1], "x", 1);
            waitpid(pid_, nullptr, 0);
        }
        for (int fd : {ready_[0], ready_[1], release_[0], release_[1]})
            if (fd >= 0) close(fd);
    }
    bool Holding() const { return holding_; }

  private:
    int ready_[2] = {-1, -1};
    int release_[2] = {-1, -1};
    pid_t pid_ = -1;
    bool holding_ = false;
};

class FilesPosixTest : public ::testing::Test {
  protected:
    TempDirectory directory_;
};

TEST_F(FilesPosixTest, AFileHeldWithoutSharingByAnotherProcessKeepsEveryOpenOut) {
    WriteTestFile("a.txt", "x");
    {
        FileHolder holder(directory_.Path("a.txt"), kGenericRead, 0);
        ASSERT_TRUE(holder.Holding());
        EXPECT_EQ(CreateFileA("a.txt", kGenericRead, kFileShareRead, false, kOpenExisting, 0),
                  kInvalidHandle);
        EXPECT_EQ(GetLastError(), kErrorSharingViolation);
        EXPECT_FALSE(DeleteFileA("a.txt"));
        EXPECT_EQ(GetLastError(), kErrorSharingViolation);
        WriteTestFile("b.txt", "b");
        EXPECT_FALSE(MoveFileExA("b.txt", "a.txt", kMoveFileReplaceExisting));
        EXPECT_EQ(GetLastError(), kErrorSharingViolation);
    }
    const Handle free = CreateFileA("a.txt", kGenericRead, 0, false, kOpenExisting, 0);
    EXPECT_NE(free, kInvalidHandle);
    CloseHandle(free);
}

TEST_F(FilesPosixTest, FilesSharedByAnotherProcessCanBeOpenedSharedOnly) {
    WriteTestFile("a.txt", "x");
    FileHolder holder(directory_.Path("a.txt"), kGenericRead, kFileShareRead | kFileShareWrite);
    ASSERT_TRUE(holder.Holding());
    const Handle shared = CreateFileA("a.txt", kGenericWrite, kFileShareRead | kFileShareWrite,
                                      false, kOpenExisting, 0);
    EXPECT_NE(shared, kInvalidHandle);
    CloseHandle(shared);
    EXPECT_EQ(CreateFileA("a.txt", kGenericRead, 0, false, kOpenExisting, 0), kInvalidHandle);
    EXPECT_EQ(GetLastError(), kErrorSharingViolation);
}

TEST_F(FilesPosixTest, AReadOnlyFileIsReadOnlyForAPrivilegedProcessToo) {
    WriteTestFile("ro.txt", "kept");
    MakeReadOnly("ro.txt");
    EXPECT_EQ(CreateFileA("ro.txt", kGenericWrite, 0, false, kOpenAlways, 0), kInvalidHandle);
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);
    FindData entry;
    const Handle search = FindFirstFileA("ro.txt", &entry);
    ASSERT_NE(search, kInvalidHandle);
    EXPECT_TRUE(entry.attributes & kFileAttributeReadOnly);
    FindClose(search);
    EXPECT_EQ(ReadTestFile("ro.txt"), "kept");
}

TEST_F(FilesPosixTest, OnlyRegularFilesAreDiskFiles) {
    const Handle device =
        CreateFileA("/dev/null", kGenericRead, kFileShareRead, false, kOpenExisting, 0);
    ASSERT_NE(device, kInvalidHandle);
    EXPECT_EQ(GetFileType(device), kFileTypeChar);
    CloseHandle(device);

    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const Handle pipeEnd = posix::AddHandle({posix::HandleKind::kFile, ends[0], false, 0, {}});
    EXPECT_EQ(GetFileType(pipeEnd), kFileTypePipe);
    CloseHandle(pipeEnd);
    close(ends[1]);

    std::filesystem::create_symlink("nowhere", "dangling");
    FindData entry;
    const Handle search = FindFirstFileA("dangling", &entry);
    ASSERT_NE(search, kInvalidHandle);
    EXPECT_TRUE(entry.attributes & kFileAttributeSystem);
    FindClose(search);
}

TEST_F(FilesPosixTest, CreateNewWritesThroughNoLinkThatStandsAtTheName) {
    WriteTestFile("victim.txt", "victim");
    std::filesystem::create_symlink("victim.txt", "symbolic");
    std::filesystem::create_hard_link("victim.txt", "hard");
    std::filesystem::create_symlink("nowhere.txt", "dangling");
    for (const char* name : {"symbolic", "hard", "dangling"}) {
        EXPECT_EQ(CreateFileA(name, kGenericWrite, 0, false, kCreateNew, 0), kInvalidHandle)
            << name;
        EXPECT_EQ(GetLastError(), kErrorFileExists) << name;
    }
    EXPECT_EQ(ReadTestFile("victim.txt"), "victim");
    EXPECT_FALSE(std::filesystem::exists("nowhere.txt"));

    // Opening for writing what may exist meets the dangling link as often as it is asked,
    // and gives up instead of trying for ever.
    EXPECT_EQ(CreateFileA("dangling", kGenericWrite, 0, false, kOpenAlways, 0), kInvalidHandle);
}

TEST_F(FilesPosixTest, APipeOrDeviceNeverHoldsAnOpenOrARead) {
    ASSERT_EQ(mkfifo("fifo", 0600), 0);
    // Nobody writes the FIFO: a blocking open would wait for a writer for ever.
    const Handle reading = CreateFileA("fifo", kGenericRead, 0, false, kOpenExisting, 0);
    ASSERT_NE(reading, kInvalidHandle);
    EXPECT_EQ(GetFileType(reading), kFileTypePipe);
    // A writer that holds it open without writing does not hold the read.
    const int writer = open("fifo", O_WRONLY | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    char byte;
    uint32_t read = 0;
    EXPECT_FALSE(ReadFile(reading, &byte, 1, &read));
    EXPECT_EQ(read, 0u);
    close(writer);
    CloseHandle(reading);
    // Nobody reads it: an open for writing fails at once.
    EXPECT_EQ(CreateFileA("fifo", kGenericWrite, 0, false, kOpenExisting, 0), kInvalidHandle);
}

TEST_F(FilesPosixTest, AReplacedFileKeepsItsPermissionsAndGroup) {
    std::vector<gid_t> groups(static_cast<size_t>(getgroups(0, nullptr) + 1));
    groups.resize(static_cast<size_t>(getgroups(static_cast<int>(groups.size()), groups.data())));
    // A group of the process's own other than its primary one shows the group is kept; root
    // may give a file any group.
    gid_t otherGroup = getegid();
    for (gid_t group : groups)
        if (group != getegid()) otherGroup = group;
    if (geteuid() == 0) otherGroup = getegid() + 1;

    for (const mode_t mode : {mode_t{0600}, mode_t{0664}, mode_t{0640}}) {
        WriteTestFile("old.txt", "old");
        ASSERT_EQ(chmod("old.txt", mode), 0);
        ASSERT_EQ(chown("old.txt", static_cast<uid_t>(-1), otherGroup), 0);
        const mode_t mask = umask(mode == 0600 ? 022 : 077);
        WriteTestFile("new.txt", "new");
        umask(mask);
        ASSERT_TRUE(ReplaceFileA("old.txt", "new.txt"));
        struct stat status {};
        ASSERT_EQ(stat("old.txt", &status), 0);
        EXPECT_EQ(status.st_mode & 07777, mode);
        EXPECT_EQ(status.st_gid, otherGroup);
        EXPECT_EQ(ReadTestFile("old.txt"), "new");
    }
}

TEST_F(FilesPosixTest, OnlyAPlainFileWithOneNameReplacesAnother) {
    WriteTestFile("old.txt", "old");
    WriteTestFile("victim.txt", "victim");
    std::filesystem::create_symlink("victim.txt", "symbolic");
    std::filesystem::create_hard_link("victim.txt", "hard");
    for (const char* name : {"symbolic", "hard"}) {
        EXPECT_FALSE(ReplaceFileA("old.txt", name)) << name;
        EXPECT_EQ(GetLastError(), kErrorAccessDenied) << name;
    }
    EXPECT_EQ(ReadTestFile("old.txt"), "old");
    EXPECT_EQ(ReadTestFile("victim.txt"), "victim");
    ASSERT_EQ(mkfifo("fifo", 0600), 0);
    EXPECT_FALSE(ReplaceFileA("old.txt", "fifo"));
    EXPECT_EQ(ReadTestFile("old.txt"), "old");
}

}  // namespace
