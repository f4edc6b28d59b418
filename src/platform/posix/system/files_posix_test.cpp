// The POSIX file backend where it differs from a plain POSIX program: share modes held
// against other processes, read-only files held against a privileged process, and the
// file types of descriptors that are no regular files.

#include <fcntl.h>
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

}  // namespace
