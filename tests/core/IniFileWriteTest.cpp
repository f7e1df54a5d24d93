// The settings file on disk: opening, and the atomic replacement that never loses the old file.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>

#include "Exceptions.h"
#include "IniFile.h"
#include "TempFolder.h"

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
#endif
