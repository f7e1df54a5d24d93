// Which ports the search for the controller opens, in which order, and how often: a fake sysfs
// tree of USB bridges whose ports lead to pseudo-terminals.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "BackendRigs.h"
#include "Discovery.h"
#include "LastError.h"
#include "RememberedSerial.h"
#include "ScopedLineup.h"
#include "backends/NamedPort.h"
#include "qv725/qv725.h"

namespace {

class DiscoveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        qv725::ForgetProbedPorts();
        setenv("XDG_CACHE_HOME", cache.Path().c_str(), 1);
        ForgetRememberedSerial();
    }
    void TearDown() override {
        unsetenv("QV725_PORT");
        ForgetRememberedSerial();
    }
    std::string CacheFile() const { return (cache.Path() / "qv725/last-port-serial").string(); }

    TempFolder cache{TempFolder::OwnerOnly};
    FakeSysfs sysfs;
    PtyPeer a;
    PtyPeer b;
    PtyPeer c;
};

TEST_F(DiscoveryTest, OnlyFtdiBridgesAreOpened) {
    sysfs.Plug("1-1", "ttyUSB0", a.SlavePath(), "2341", "ARDUINO");  // another maker's board
    sysfs.Plug("1-2", "ttyUSB1", b.SlavePath(), "0403", "CTRL");
    a.Answer(IdentificationFrame("QV-725 but not through an FTDI bridge"));
    b.Answer(IdentificationFrame("QV-725"));
    SerialPortBackend serial;
    ScopedLineup lineup({&serial});
    ASSERT_EQ(QV725_OpenDevice(), 1);
    EXPECT_EQ(b.Requests(1).size(), 1u);
    EXPECT_TRUE(a.Requests(0).empty()) << "the other board was not touched";

    QV725_CloseDevice();
    sysfs.Unplug("1-2");
    EXPECT_EQ(QV725_OpenDevice(), 0);
    EXPECT_EQ(LastError(), "No controller found: no FTDI device attached.");
    EXPECT_TRUE(a.Requests(0).empty());
}

TEST_F(DiscoveryTest, PortWhereTheControllerAnsweredIsRememberedAndTriedFirst) {
    sysfs.Plug("1-1", "ttyUSB0", a.SlavePath(), "0403", "FIRST");
    sysfs.Plug("1-2", "ttyUSB1", b.SlavePath(), "0403", "SECOND");
    b.Answer(IdentificationFrame("QV-725"));
    {
        SerialPortBackend serial;
        ScopedLineup lineup({&serial});
        ASSERT_EQ(QV725_OpenDevice(), 1);
    }
    EXPECT_EQ(a.Requests(1).size(), 1u) << "the first port was tried first";
    std::ifstream in(CacheFile());
    std::string stored;
    std::getline(in, stored);
    EXPECT_EQ(stored, "SECOND");
    for (const auto& entry : std::filesystem::directory_iterator(cache.Path() / "qv725")) {
        EXPECT_EQ(entry.path().filename(), "last-port-serial") << "no temporary file is left";
    }

    // The next program run reads it back and goes straight to that port.
    ForgetRememberedSerial();
    qv725::ForgetProbedPorts();
    b.Answer(IdentificationFrame("QV-725"));
    SerialPortBackend serial;
    ScopedLineup lineup({&serial});
    ASSERT_EQ(QV725_OpenDevice(), 1);
    EXPECT_EQ(b.Requests(2).size(), 2u);
    EXPECT_EQ(a.Requests(0).size(), 1u) << "the other port was not touched again";
}

TEST_F(DiscoveryTest, ForeignPortIsProbedOncePerPlugIn) {
    sysfs.Plug("1-1", "ttyUSB0", a.SlavePath(), "0403", "PRINTER");
    SerialPortBackend serial;
    ScopedLineup lineup({&serial});
    for (int second = 0; second < 3; ++second) {
        EXPECT_EQ(QV725_OpenDevice(), 0);
        EXPECT_EQ(LastError(), "No controller found: " + sysfs.Dev("ttyUSB0") +
                                   ": did not answer as a controller.");
    }
    EXPECT_EQ(a.Requests(0).size(), 1u) << "probed once, not every second";

    // Unplugged and plugged in again (a new device number): asked once more, and this time
    // it is a controller.
    sysfs.Unplug("1-1");
    EXPECT_EQ(QV725_OpenDevice(), 0);
    sysfs.Plug("1-1", "ttyUSB0", a.SlavePath(), "0403", "PRINTER");
    a.Answer(IdentificationFrame("QV-725"));
    EXPECT_EQ(QV725_OpenDevice(), 1);
    EXPECT_EQ(a.Requests(2).size(), 2u);
}

TEST_F(DiscoveryTest, RememberedControllerPortIsRetriedAfterAMissedReply) {
    sysfs.Plug("1-1", "ttyUSB0", a.SlavePath(), "0403", "CTRL");
    SerialPortBackend serial;
    ScopedLineup lineup({&serial});
    a.Answer(IdentificationFrame("QV-725"));
    ASSERT_EQ(QV725_OpenDevice(), 1);
    QV725_CloseDevice();
    EXPECT_EQ(QV725_OpenDevice(), 0) << "the controller misses a reply";
    a.Answer(IdentificationFrame("QV-725"));
    EXPECT_EQ(QV725_OpenDevice(), 1) << "its port is asked again";
}

TEST_F(DiscoveryTest, PortVariableKeepsTheSearchToOnePort) {
    sysfs.Plug("1-1", "ttyUSB0", a.SlavePath(), "0403", "FIRST");
    sysfs.Plug("1-2", "ttyUSB1", b.SlavePath(), "0403", "SECOND");
    SerialPortBackend serial;
    NamedPortBackend named;
    ScopedLineup lineup({&serial, &named});
    struct Case {
        std::string port;
        PtyPeer* opened;
    };
    for (const Case& k :
         {Case{sysfs.Dev("ttyUSB1"), &b}, Case{"serial:FIRST", &a}, Case{c.SlavePath(), &c}}) {
        SCOPED_TRACE(k.port);
        setenv("QV725_PORT", k.port.c_str(), 1);
        const size_t before[] = {a.Requests(0).size(), b.Requests(0).size(), c.Requests(0).size()};
        k.opened->Answer(IdentificationFrame("QV-725"));
        ASSERT_EQ(QV725_OpenDevice(), 1) << LastError();
        QV725_CloseDevice();
        PtyPeer* peers[] = {&a, &b, &c};
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(peers[i]->Requests(0).size(), before[i] + (peers[i] == k.opened ? 1 : 0))
                << "port " << i;
        }
    }
    for (const char* port : {"/nonexistent/ttyUSB7", "serial:X"}) {
        SCOPED_TRACE(port);
        setenv("QV725_PORT", port, 1);
        EXPECT_EQ(QV725_OpenDevice(), 0);
        EXPECT_EQ(LastError(), std::string("No controller found: ") + port + ": not attached.");
    }
}

}  // namespace
