// The settings file on disk: opening, the atomic replacement that never loses the old file, a file
// the user cannot write, a full disk, and a file larger than any real one.
#include <fcntl.h>
#include <gtest/gtest.h>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <iostream>

#include "Exceptions.h"
#include "IniFile.h"
#include "SmallDisk.h"
#include "TempFolder.h"
#include "WholeFile.h"

namespace fs = std::filesystem;

namespace {

#ifndef _WIN32
constexpr uid_t kNobody = 65534;

// Runs `body` without root's power to write anywhere, when the tests run as root.
template <typename Body>
void AsUnprivileged(Body body) {
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(seteuid(kNobody), 0);
    }
    body();
    if (root) {
        ASSERT_EQ(seteuid(0), 0);
    }
}
#endif

std::vector<std::string> FolderEntries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(IniFileDisk, MissingFileStartsEmptyAndIsCreated) {
    TempFolder folder;
    const std::string file = folder.File("kelvane.ini");
    TIniFile ini(file);
    EXPECT_TRUE(ini.SectionNames().empty());
    ini.WriteInteger("General", "Left", 10);
    ini.UpdateFile();
    EXPECT_EQ(ReadWholeFile(file), "[General]\r\nLeft=10\r\n\r\n");
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"kelvane.ini"});
}

TEST(IniFileDisk, ReadsAnExistingFileWhole) {
    TempFolder folder;
    const std::string file = folder.File("kelvane.ini");
    WriteWholeFile(file, "[General]\nLeft=0x20\n");
    TIniFile ini(file);
    EXPECT_EQ(ini.ReadInteger("General", "Left", 0), 32);
}

#ifndef _WIN32  // file modes, user ids, size limits and links
TEST(IniFileDisk, UnreadableFileIsAnOpenError) {
    TempFolder folder;
    const std::string file = folder.File("kelvane.ini");
    WriteWholeFile(file, "[General]\n");
    ASSERT_EQ(chmod(file.c_str(), 0), 0);
    AsUnprivileged([&] {
        try {
            TIniFile ini(file);
            ADD_FAILURE() << "no error";
        } catch (const EFOpenError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot open file " + file);
        }
    });
    const std::string folderAsFile = folder.File("folder.ini");
    fs::create_directory(folderAsFile);
    EXPECT_THROW(TIniFile{folderAsFile}, EFOpenError);
}

TEST(IniFileDisk, FailedWriteInReadOnlyFolderKeepsTheOldFile) {
    TempFolder folder;
    const std::string file = folder.File("kelvane.ini");
    const std::string old = "[Presets]\r\nList=0201\r\n\r\n";
    WriteWholeFile(file, old);
    ASSERT_EQ(chmod(folder.Path().c_str(), 0555), 0);

    TIniFile ini(file);
    ini.WriteInteger("General", "Left", 1);
    AsUnprivileged([&] {
        try {
            ini.UpdateFile();
            ADD_FAILURE() << "no error";
        } catch (const EFCreateError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot create file " + file);
        }
    });
    EXPECT_EQ(ReadWholeFile(file), old);
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"kelvane.ini"});
}

TEST(IniFileDisk, WriteThatFailsHalfwayLeavesOldFileAndNoTemporary) {
    TempFolder folder;
    const std::string file = folder.File("kelvane.ini");
    const std::string old = "[General]\r\nLeft=1\r\n\r\n";
    WriteWholeFile(file, old);

    TIniFile ini(file);
    ini.WriteString("Presets", "List", std::string(100000, 'A'));
    // A full disk, as far as this process can tell: writes beyond 4 KiB fail with EFBIG.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(ini.UpdateFile(), EFCreateError);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(ReadWholeFile(file), old);
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"kelvane.ini"});
}

TEST(IniFileDisk, ReplacementKeepsPermissionsAndFollowsLinks) {
    TempFolder folder;
    const std::string real = folder.File("real.ini");
    const std::string link = folder.File("kelvane.ini");
    WriteWholeFile(real, "[A]\r\nk=1\r\n\r\n");
    ASSERT_EQ(chmod(real.c_str(), 0640), 0);
    fs::create_symlink(real, link);

    TIniFile ini(link);
    ini.WriteString("A", "k", "2");
    ini.UpdateFile();
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadWholeFile(real), "[A]\r\nk=2\r\n\r\n");
    struct stat st {};
    ASSERT_EQ(stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}
#endif

TEST(IniFileDisk, NoFileNameCannotBeWritten) {
    TIniFile ini;
    EXPECT_THROW(ini.UpdateFile(), EFCreateError);
}

}  // namespace

#ifndef _WIN32
TEST(IniFileDisk, WriteClearsOnlyTheTemporariesOfWritersThatAreGone) {
    TempFolder folder;
    const std::string file = folder.File("kelvane.ini");
    // A process that has ended, so its id belongs to no one for the moment.
    const pid_t gone = fork();
    ASSERT_GE(gone, 0);
    if (gone == 0)
        _exit(0);
    ASSERT_EQ(waitpid(gone, nullptr, 0), gone);
    const std::string deadTemp = "kelvane.ini.tmp" + std::to_string(gone) + "-3";
    const std::string liveTemp = "kelvane.ini.tmp" + std::to_string(getppid()) + "-1";
    const std::vector<std::string> kept = {"kelvane.ini.tmp", "kelvane.ini.tmp12x-1",
                                           "kelvane.ini.tmpold",
                                           "other.ini.tmp" + std::to_string(gone) + "-1", liveTemp};
    WriteWholeFile(folder.File(deadTemp), "[Presets]\r\nList=00\r\n");
    for (const std::string& name : kept)
        WriteWholeFile(folder.File(name), "x");

    TIniFile ini(file);
    ini.WriteString("A", "k", "1");
    ini.UpdateFile();

    std::vector<std::string> expected = kept;
    expected.push_back("kelvane.ini");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FolderEntries(folder.Path()), expected);
}

namespace {

// The id of a process that has ended, so that it belongs to no one for the moment.
pid_t EndedProcess() {
    const pid_t pid = fork();
    if (pid == 0)
        _exit(0);
    waitpid(pid, nullptr, 0);
    return pid;
}

// Appends to `path` until the disk is full; true when it filled up.
bool FillDisk(const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const std::string chunk(4096, 'f');
    bool full = false;
    while (!full) {
        const ssize_t n = write(fd, chunk.data(), chunk.size());
        full = n < 0 && errno == ENOSPC;
        if (n < 0 && !full)
            break;
    }
    close(fd);
    return full;
}

std::string PresetsFileText(char fill) {
    return "[Presets]\r\nList=" + std::string(16000, fill) + "\r\n\r\n";
}

// The checks on the small disk; "" when all held.
std::string FullDiskChecks(const std::string& disk, pid_t gone, pid_t live) {
    const std::string file = disk + "/kelvane.ini";
    WriteWholeFile(file, PresetsFileText('a'));
    const std::string liveTemp = "kelvane.ini.tmp" + std::to_string(live) + "-1";
    const std::string deadTemp = "kelvane.ini.tmp" + std::to_string(gone) + "-7";
    WriteWholeFile(disk + "/" + liveTemp, "x");
    if (!FillDisk(disk + "/" + deadTemp))
        return "the killed writer's temporary file did not fill the disk";

    // The killed writer's temporary file takes the room the new file needs: it goes first.
    TIniFile ini(file);
    ini.WriteString("Presets", "List", std::string(16000, 'b'));
    try {
        ini.UpdateFile();
    } catch (const Exception& error) {
        return "the write after a killed writer's temporary file failed: " + error.Message();
    }
    if (ReadWholeFile(file) != PresetsFileText('b'))
        return "the file does not hold the new text";
    if (FolderEntries(disk) != std::vector<std::string>{"kelvane.ini", liveTemp})
        return "other files than the settings file and the live writer's temporary file remain";
    return "";
}

}  // namespace

TEST(IniFileDisk, FullDiskClearsKilledWritersTemporaryFilesBeforeWriting) {
    TempFolder folder;
    const pid_t gone = EndedProcess();
    // The small disk's checks run in a child; this process stands for the live writer.
    const SmallDiskRun run = RunOnSmallDisk(
        folder.Path().string(), 64 * 1024,
        [&](const std::string& disk) { return FullDiskChecks(disk, gone, getppid()); });
    if (!run.mounted)
        GTEST_SKIP() << "this system lets no test mount a small disk: " << run.message;
    EXPECT_EQ(run.message, "");
}

TEST(IniFileDisk, FileThisUserCannotWriteIsNotReplaced) {
    struct Case {
        const char* name;
        mode_t mode;
        bool otherOwner;  // the file belongs to the superuser, the folder to the user
    };
    const Case cases[] = {
        {"read-only for everyone (0444)", 0444, false},
        {"read-only for its owner (0400)", 0400, false},
        {"another user's file (0644) in the user's own folder", 0644, true},
    };
    const bool root = geteuid() == 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.otherOwner && !root) {
            std::cout << "[   NOTE   ] " << c.name << ": needs the superuser to make the file\n";
            continue;
        }
        TempFolder folder;
        const std::string file = folder.File("kelvane.ini");
        const std::string old = "[General]\r\nLeft=3\r\n\r\n";
        WriteWholeFile(file, old);
        ASSERT_EQ(chmod(file.c_str(), c.mode), 0);
        if (c.otherOwner) {
            ASSERT_EQ(chown(folder.Path().c_str(), kNobody, kNobody), 0);
        }

        TIniFile ini(file);
        ini.WriteInteger("General", "Left", 4);
        const auto write = [&] {
            try {
                ini.UpdateFile();
                ADD_FAILURE() << "the file was replaced";
            } catch (const EFCreateError& e) {
                EXPECT_EQ(std::string(e.what()), "Cannot create file " + file);
            }
        };
        // Read-only bits hold for the superuser too; another user's file needs another user.
        if (c.otherOwner)
            AsUnprivileged(write);
        else
            write();
        EXPECT_EQ(ReadWholeFile(file), old);
        struct stat st {};
        ASSERT_EQ(stat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, c.mode);
        EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"kelvane.ini"});
    }
}

TEST(IniFileDisk, FileLargerThanAnyRealOneIsRefusedUnreadAndNeverWritten) {
    TempFolder folder;
    const std::string file = folder.File("kelvane.ini");
    const std::string head = "[General]\r\nLeft=1\r\n[Bulk]\r\nx=";
    for (const uint64_t size : {kMaxSettingsFileSize, kMaxSettingsFileSize + 1}) {
        SCOPED_TRACE(size);
        const std::string content = head + std::string(size - head.size(), 'v');
        WriteWholeFile(file, content);
        if (size <= kMaxSettingsFileSize) {
            TIniFile ini(file);
            EXPECT_EQ(ini.ReadInteger("General", "Left", 0), 1);
            continue;
        }
        try {
            TIniFile ini(file);
            ADD_FAILURE() << "a file of " << size << " bytes was read";
        } catch (const EFTooLargeError& e) {
            EXPECT_EQ(std::string(e.what()), "Settings file " + file +
                                                 " was not read: it holds 16777217 bytes, more "
                                                 "than the 16 MB a settings file may hold. The "
                                                 "file is left as it is.");
        }
        EXPECT_TRUE(ReadWholeFile(file) == content);
    }

    // Nor does the program ever write a file it would refuse to read: the old one stays.
    const std::string old = "[General]\r\nLeft=1\r\n\r\n";
    WriteWholeFile(file, old);
    TIniFile ini(file);
    ini.WriteString("Bulk", "x", std::string(kMaxSettingsFileSize, 'v'));
    EXPECT_THROW(ini.UpdateFile(), EFCreateError);
    EXPECT_TRUE(ReadWholeFile(file) == old) << "a text over the limit was written";
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"kelvane.ini"});
}
#endif
