// Where the settings file lives: beside the program when the user can replace it there, else in
// the user's configuration folder.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <iostream>

#include "SettingsPath.h"
#include "TempFolder.h"
#include "WholeFile.h"

namespace fs = std::filesystem;

namespace {

TEST(SettingsPath, ExtensionReplacedByIni) {
    EXPECT_EQ(SettingsFileBeside("/opt/kelvane/kelvane"), "/opt/kelvane/kelvane.ini");
    EXPECT_EQ(SettingsFileBeside("C:/Tools/Kelvane.exe"), "C:/Tools/Kelvane.ini");
    EXPECT_EQ(SettingsFileBeside("/opt/app.d/kelvane"), "/opt/app.d/kelvane.ini");
}

TEST(SettingsPath, ConfigFolderFileFollowsXdgConfigHomeOnlyWhenAbsolute) {
#ifdef _WIN32
    const std::string xdg = "C:/xdg/config";
#else
    const std::string xdg = "/xdg/config";
#endif
    const std::string expectXdg = (fs::path(xdg) / "kelvane" / "kelvane.ini").string();
    const std::string expectHome =
        (fs::path("/home/u") / ".config" / "kelvane" / "kelvane.ini").string();
    EXPECT_EQ(SettingsFileInConfigFolder(xdg, "/home/u"), expectXdg);
    EXPECT_EQ(SettingsFileInConfigFolder("relative/config", "/home/u"), expectHome);
    EXPECT_EQ(SettingsFileInConfigFolder("", "/home/u"), expectHome);
}

TEST(SettingsPath, WritableProgramFolderIsUsed) {
    TempFolder folder;
    const std::string program = folder.File("kelvane");
    EXPECT_EQ(ChooseSettingsFile(program, "/nonexistent/xdg", "/nonexistent/home"),
              folder.File("kelvane.ini"));
}

#ifndef _WIN32  // folder modes and user ids
// An installed program keeps its settings in the user's folder even for a user who could write
// beside it (the superuser running /usr/bin/kelvane must not leave /usr/bin/kelvane.ini).
TEST(SettingsPath, InstalledProgramNeverKeepsSettingsBesideItself) {
    TempFolder folder;
    const std::string own = (fs::path(folder.File("xdg")) / "kelvane" / "kelvane.ini").string();
    EXPECT_EQ(ChooseSettingsFile("/usr/bin/kelvane", folder.File("xdg"), "/nonexistent"), own);
    EXPECT_EQ(ChooseSettingsFile("/usr/local/bin/kelvane", folder.File("xdg"), "/nonexistent"),
              own);
}

constexpr uid_t kNobody = 65534;

// Runs `body` as "nobody" when the tests run as the superuser, so that permissions bind.
template <typename Body>
void AsUser(Body body) {
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(seteuid(kNobody), 0);
    }
    body();
    if (root) {
        ASSERT_EQ(seteuid(0), 0);
    }
}

TEST(SettingsPath, ReadOnlyProgramFolderUsesConfigFolder) {
    TempFolder folder;
    const fs::path bin = folder.Path() / "bin";
    fs::create_directory(bin);
    const std::string program = (bin / "kelvane").string();
    const std::string home = folder.File("home");
    fs::create_directory(home);
    ASSERT_EQ(chmod(bin.c_str(), 0555), 0);
    ASSERT_EQ(chown(home.c_str(), 65534, 65534), 0);

    std::string chosenXdg;
    std::string chosenHome;
    std::string chosenRelative;
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(seteuid(65534), 0);
    }
    chosenHome = ChooseSettingsFile(program, "", home);
    chosenXdg = ChooseSettingsFile(program, home + "/xdg", "/nonexistent");
    chosenRelative = ChooseSettingsFile(program, "relative/xdg", home);
    if (root) {
        ASSERT_EQ(seteuid(0), 0);
    }
    EXPECT_EQ(chosenHome, home + "/.config/kelvane/kelvane.ini");
    EXPECT_TRUE(fs::is_directory(home + "/.config/kelvane"));
    EXPECT_EQ(chosenXdg, home + "/xdg/kelvane/kelvane.ini");
    EXPECT_TRUE(fs::is_directory(home + "/xdg/kelvane"));
    EXPECT_EQ(chosenRelative, chosenHome) << "a relative XDG_CONFIG_HOME is ignored";
}

// A file beside the program is used only when this user can replace it; otherwise the user's
// own file, which starts as a copy of the one beside the program.
struct BesideCase {
    const char* name;
    bool besideExists;
    mode_t besideMode;
    mode_t folderMode;  // of the program's folder
    bool besideOfRoot;  // the file belongs to the superuser (left by a run as root)
    bool ownExists;     // the user's own file exists already
    bool chooseBeside;
};

const BesideCase kBesideCases[] = {
    {"no file in a writable folder: a portable copy", false, 0, 0755, false, false, true},
    {"the user's file in a writable folder", true, 0644, 0755, false, false, true},
    {"no file in a read-only folder", false, 0, 0555, false, false, false},
    {"a read-only file (0444)", true, 0444, 0755, false, false, false},
    {"a file in a read-only folder (an installed program)", true, 0644, 0555, false, false, false},
    {"the superuser's file in the user's folder", true, 0644, 0755, true, false, false},
    {"a read-only file beside the user's own file", true, 0444, 0755, false, true, false},
};

TEST(SettingsPath, FileBesideTheProgramWinsOnlyWhenTheUserCanReplaceIt) {
    const bool root = geteuid() == 0;
    const std::string besideText = "[General]\r\nLeft=12\r\n\r\n[Channels]\r\nName0=\xE9t\xE9\r\n";
    const std::string ownText = "[General]\r\nLeft=99\r\n\r\n";
    for (const BesideCase& c : kBesideCases) {
        SCOPED_TRACE(c.name);
        if (c.besideOfRoot && !root) {
            std::cout << "[   NOTE   ] " << c.name << ": needs the superuser to make the file\n";
            continue;
        }
        // As the superuser the choice is made as "nobody", so that permissions bind; what the
        // user owns is handed to that user.
        TempFolder folder;
        const fs::path bin = folder.Path() / "bin";
        const fs::path home = folder.Path() / "home";
        const fs::path ownFolder = home / ".config" / "kelvane";
        fs::create_directory(bin);
        fs::create_directories(ownFolder);
        const std::string beside = (bin / "kelvane.ini").string();
        const std::string own = (ownFolder / "kelvane.ini").string();
        if (c.besideExists)
            WriteWholeFile(beside, besideText);
        if (c.ownExists)
            WriteWholeFile(own, ownText);
        if (root) {
            for (const fs::path& path : {bin, home, home / ".config", ownFolder, fs::path(own)}) {
                if (fs::exists(path)) {
                    ASSERT_EQ(chown(path.c_str(), kNobody, kNobody), 0);
                }
            }
            if (c.besideExists && !c.besideOfRoot) {
                ASSERT_EQ(chown(beside.c_str(), kNobody, kNobody), 0);
            }
        }
        if (c.besideExists) {
            ASSERT_EQ(chmod(beside.c_str(), c.besideMode), 0);
        }
        ASSERT_EQ(chmod(bin.c_str(), c.folderMode), 0);

        std::string chosen;
        AsUser([&] { chosen = ChooseSettingsFile((bin / "kelvane").string(), "", home); });
        EXPECT_EQ(chosen, c.chooseBeside ? beside : own);
        if (c.besideExists) {
            EXPECT_TRUE(ReadWholeFile(beside) == besideText) << "the file beside was changed";
        }
        if (c.chooseBeside)
            continue;
        if (!c.besideExists) {
            EXPECT_FALSE(fs::exists(own));
            continue;
        }
        // The user's own file: kept when it exists, else a byte-for-byte copy the user may write.
        EXPECT_TRUE(ReadWholeFile(own) == (c.ownExists ? ownText : besideText));
        struct stat st {};
        ASSERT_EQ(stat(own.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, root ? kNobody : geteuid());
        EXPECT_NE(st.st_mode & S_IWUSR, 0u);
    }
}
#endif

}  // namespace
