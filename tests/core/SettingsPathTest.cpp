// Where the settings file lives: beside the program, else in the user's configuration folder.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>

#include "SettingsPath.h"
#include "TempFolder.h"

namespace fs = std::filesystem;

namespace {

TEST(SettingsPath, ExtensionReplacedByIni) {
    EXPECT_EQ(SettingsFileBeside("/opt/kelvane/kelvane"), "/opt/kelvane/kelvane.ini");
    EXPECT_EQ(SettingsFileBeside("C:/Tools/Kelvane.exe"), "C:/Tools/Kelvane.ini");
    EXPECT_EQ(SettingsFileBeside("/opt/app.d/kelvane"), "/opt/app.d/kelvane.ini");
}

TEST(SettingsPath, WritableProgramFolderIsUsed) {
    TempFolder folder;
    const std::string program = folder.File("kelvane");
    EXPECT_EQ(ChooseSettingsFile(program, "/nonexistent/xdg", "/nonexistent/home"),
              folder.File("kelvane.ini"));
}

#ifndef _WIN32  // folder modes and user ids
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

    // A file already beside the program wins even in a read-only folder.
    ASSERT_EQ(chmod(bin.c_str(), 0755), 0);
    WriteWholeFile((bin / "kelvane.ini").string(), "");
    ASSERT_EQ(chmod(bin.c_str(), 0555), 0);
    EXPECT_EQ(ChooseSettingsFile(program, "", home), (bin / "kelvane.ini").string());
}
#endif

}  // namespace
