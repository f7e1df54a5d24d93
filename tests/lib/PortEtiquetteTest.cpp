// Ports that are not the controller, or not ours to take, are left as they were found:
// pseudo-terminals stand in for the ports of a user's desk (a printer's, a console another
// program has open), reached through a fake sysfs tree or the simulator folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include "BackendRigs.h"
#include "Discovery.h"
#include "LastError.h"
#include "ScopedLineup.h"
#include "backends/NamedPort.h"
#include "qv725/qv725.h"

namespace {

bool SameSettings(const termios& a, const termios& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The modem lines as the port reports them (pseudo-terminals report none: -1).
int ModemLines(const std::string& path) {
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    int lines = -1;
    if (fd >= 0 && ioctl(fd, TIOCMGET, &lines) != 0) {
        lines = -1;
    }
    close(fd);
    return lines;
}

class PortEtiquetteTest : public ::testing::Test {
protected:
    void SetUp() override { qv725::ForgetProbedPorts(); }

    PtyPeer port;
    FakeSysfs sysfs;
};

TEST_F(PortEtiquetteTest, HeldPortIsNotWrittenToNorReconfigured) {
    sysfs.Plug("1-1", "ttyUSB0", port.SlavePath());
    struct Case {
        const char* how;
        bool flock;
        bool uucp;
    };
    for (const Case c : {Case{"flock by another program", true, false},
                         Case{"UUCP lock file of a running process", false, true}}) {
        SCOPED_TRACE(c.how);
        port.Cook();
        const termios before = port.SlaveSettings();
        const int holder = open(port.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(holder, 0);
        if (c.flock) {
            ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
        }
        if (c.uucp) {
            sysfs.LockUucp("ttyUSB0", getppid());
        }
        {
            SerialPortBackend serial;
            ScopedLineup lineup({&serial});
            EXPECT_EQ(QV725_OpenDevice(), 0);
            EXPECT_EQ(LastError(), "No controller found: " + sysfs.Dev("ttyUSB0") +
                                       ": in use by another program.");
        }
        EXPECT_TRUE(port.Requests(0).empty()) << "not a byte is written";
        EXPECT_TRUE(SameSettings(port.SlaveSettings(), before));
        close(holder);
        std::filesystem::remove(sysfs.Root() + "/run/lock/LCK..ttyUSB0");
    }
}

TEST_F(PortEtiquetteTest, StaleUucpLockDoesNotHoldThePort) {
    sysfs.Plug("1-1", "ttyUSB0", port.SlavePath());
    sysfs.LockUucp("ttyUSB0", 999999999);  // no such process
    port.Answer(IdentificationFrame("QV-725"));
    SerialPortBackend serial;
    ScopedLineup lineup({&serial});
    EXPECT_EQ(QV725_OpenDevice(), 1) << LastError();
}

// Programs write the holder unpadded as often as padded: "1\n" and "  1\n" (four bytes, the
// size of the binary form) name process 1, which is always running.
TEST_F(PortEtiquetteTest, UnpaddedUucpLockTextHoldsThePort) {
    sysfs.Plug("1-1", "ttyUSB0", port.SlavePath());
    for (const char* text : {"1\n", "  1\n", "1"}) {
        SCOPED_TRACE(text);
        std::ofstream(sysfs.Root() + "/run/lock/LCK..ttyUSB0", std::ios::trunc) << text;
        SerialPortBackend serial;
        ScopedLineup lineup({&serial});
        EXPECT_EQ(QV725_OpenDevice(), 0);
        EXPECT_EQ(LastError(), "No controller found: " + sysfs.Dev("ttyUSB0") +
                                   ": in use by another program.");
        EXPECT_TRUE(port.Requests(0).empty()) << "not a byte is written";
    }
}

TEST_F(PortEtiquetteTest, PortThatIsNotTheControllerIsLeftAsFound) {
    sysfs.Plug("1-1", "ttyUSB0", port.SlavePath());
    for (const bool answers : {false, true}) {
        SCOPED_TRACE(answers ? "answers as something else" : "stays silent");
        qv725::ForgetProbedPorts();
        port.Cook();
        const termios before = port.SlaveSettings();
        const int linesBefore = ModemLines(port.SlavePath());
        if (answers) {
            port.Answer(IdentificationFrame("GPS receiver 2.1"));
        }
        {
            SerialPortBackend serial;
            ScopedLineup lineup({&serial});
            EXPECT_EQ(QV725_OpenDevice(), 0);
            EXPECT_EQ(LastError(), "No controller found: " + sysfs.Dev("ttyUSB0") +
                                       ": did not answer as a controller.");
        }
        EXPECT_TRUE(SameSettings(port.SlaveSettings(), before)) << "settings byte for byte";
        EXPECT_EQ(ModemLines(port.SlavePath()), linesBefore);
    }
}

TEST_F(PortEtiquetteTest, ControllerIsLeftAsFoundWhenClosed) {
    sysfs.Plug("1-1", "ttyUSB0", port.SlavePath());
    port.Cook();
    const termios before = port.SlaveSettings();
    port.Answer(IdentificationFrame("QV-725"));
    SerialPortBackend serial;
    ScopedLineup lineup({&serial});
    ASSERT_EQ(QV725_OpenDevice(), 1);
    EXPECT_FALSE(SameSettings(port.SlaveSettings(), before)) << "raw while open";
    EXPECT_EQ(QV725_CloseDevice(), 1);
    EXPECT_TRUE(SameSettings(port.SlaveSettings(), before));
}

// A port this user may not open: the reason says how to get access. Root may open any file,
// so there the search runs in a child that has given root up.
TEST_F(PortEtiquetteTest, PermissionDeniedSaysHowToGetAccess) {
    setenv("QV725_PORT", port.SlavePath().c_str(), 1);
    NamedPortBackend named;
    ScopedLineup lineup({&named});
    std::string text;
    if (geteuid() != 0) {
        struct stat st {};
        ASSERT_EQ(stat(port.SlavePath().c_str(), &st), 0);
        ASSERT_EQ(chmod(port.SlavePath().c_str(), 0), 0);
        EXPECT_EQ(QV725_OpenDevice(), 0);
        text = LastError();
        chmod(port.SlavePath().c_str(), st.st_mode & 07777);
    } else {
        ASSERT_EQ(chmod(port.SlavePath().c_str(), 0600), 0);
        int pipeFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(pipeFds[0]);
            if (setgid(65534) != 0 || setuid(65534) != 0) {
                _exit(2);
            }
            const bool opened = QV725_OpenDevice() != 0;
            const std::string reason = LastError();
            const ssize_t ignored = write(pipeFds[1], reason.data(), reason.size());
            (void)ignored;
            _exit(opened ? 1 : 0);
        }
        close(pipeFds[1]);
        char buffer[512];
        ssize_t n = 0;
        while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0) {
            text.append(buffer, static_cast<size_t>(n));
        }
        close(pipeFds[0]);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "no controller opened";
    }
    unsetenv("QV725_PORT");
    EXPECT_EQ(text, "No controller found: " + port.SlavePath() +
                        ": permission denied (install the udev rule or join the dialout group).");
    EXPECT_TRUE(port.Requests(0).empty());
}

// The simulator folder counts only when it is private and each link's simulator still runs.
class SimFolderTrustTest : public PortEtiquetteTest {
protected:
    TempFolder runtime{TempFolder::OwnerOnly};
    ScopedRuntimeDir runtimeDir{runtime.Path()};
    std::filesystem::path sims = runtime.Path() / "qv725";
};

TEST_F(SimFolderTrustTest, StaleLinkToAReusedTerminalIsSkipped) {
    // The simulator was killed; its pseudo-terminal's number now belongs to someone's shell.
    FakeSimLink link(sims, "sim0", port.SlavePath());
    link.Release();
    port.Cook();
    const termios before = port.SlaveSettings();
    port.Answer(IdentificationFrame("QV-725 fake"));
    SimPortsBackend backend;
    ScopedLineup lineup({&backend});
    EXPECT_EQ(QV725_OpenDevice(), 0);
    EXPECT_EQ(LastError(), "No controller found: no FTDI device attached.");
    EXPECT_TRUE(port.Requests(0).empty());
    EXPECT_TRUE(SameSettings(port.SlaveSettings(), before));
}

TEST_F(SimFolderTrustTest, FolderNotPrivateToThisUserIsIgnored) {
    FakeSimLink link(sims, "sim0", port.SlavePath());
    struct Case {
        const char* what;
        mode_t mode;
        uid_t owner;
    };
    std::vector<Case> cases = {{"group and others may read", 0755, getuid()},
                               {"group may write", 0770, getuid()}};
    if (geteuid() == 0) {
        cases.push_back({"another user's", 0700, 65534});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(chmod(sims.c_str(), c.mode), 0);
        ASSERT_EQ(lchown(sims.c_str(), c.owner, static_cast<gid_t>(-1)), 0);
        SimPortsBackend backend;
        ScopedLineup lineup({&backend});
        EXPECT_EQ(QV725_OpenDevice(), 0);
        EXPECT_EQ(LastError(), "No controller found: " + sims.string() +
                                   ": simulator folder ignored (it must be this user's, with "
                                   "mode 0700).");
        EXPECT_TRUE(port.Requests(0).empty());
        ASSERT_EQ(lchown(sims.c_str(), getuid(), static_cast<gid_t>(-1)), 0);
    }
    // A link in place of the folder, even to a private one, is not the folder.
    ASSERT_EQ(chmod(sims.c_str(), 0700), 0);
    const auto elsewhere = runtime.Path() / "elsewhere";
    std::filesystem::rename(sims, elsewhere);
    std::filesystem::create_directory_symlink(elsewhere, sims);
    SimPortsBackend backend;
    ScopedLineup lineup({&backend});
    EXPECT_EQ(QV725_OpenDevice(), 0);
    EXPECT_NE(LastError().find("simulator folder ignored"), std::string::npos) << LastError();
}

}  // namespace
