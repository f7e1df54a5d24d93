// The command line: what each option asks for, the messages and exit code of a bad command
// line, and the real program answering --version and a bad option without opening a window.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "core/Version.h"
#include "desktop/CommandLine.h"
#include "desktop/DesktopStart.h"

namespace {

using A = TCommandLineResult::TAction;

TCommandLineResult Parse(const QStringList& options) {
    return ParseCommandLine(QStringList{QStringLiteral("/opt/kelvane/kelvane")} + options,
                            [] { return QStringLiteral("/home/u/.config/kelvane/kelvane.ini"); });
}

// Runs the built program with `arguments` and no display at all; its exit code, standard
// output and standard error.
struct ProgramRun {
    int exitCode = -1;
    QString out, err;
};

ProgramRun RunProgram(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    // A private runtime folder: no simulated controller is found, none is touched.
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QDir::tempPath());
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(KELVANE_PROGRAM), arguments);
    ProgramRun run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

}  // namespace

class CommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void options_data();
    void options();
    void badCommandLine_data();
    void badCommandLine();
    void helpNamesSettingsFile();
    void versionText();
    void qtOptionsPass();
    void portAndSettingsReachTheStart();
    void programAnswersWithoutDisplay();
};

void CommandLineTest::options_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("minimized");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("settings");
    QTest::newRow("none") << QStringList{} << false << QString() << QString();
    QTest::newRow("minimized") << QStringList{"--minimized"} << true << QString() << QString();
    QTest::newRow("port path") << QStringList{"--port", "/dev/ttyUSB3"} << false << "/dev/ttyUSB3"
                               << QString();
    QTest::newRow("port=serial") << QStringList{"--port=serial:FT5XQ2AB"} << false
                                 << "serial:FT5XQ2AB" << QString();
    QTest::newRow("settings absolute")
        << QStringList{"--settings", "/tmp/a/../k.ini"} << false << QString() << "/tmp/k.ini";
    QTest::newRow("settings relative") << QStringList{"--settings", "k.ini"} << false << QString()
                                       << QDir::current().absoluteFilePath(QStringLiteral("k.ini"));
    QTest::newRow("all") << QStringList{"--minimized", "--port", "/dev/x", "--settings", "/s.ini"}
                         << true << "/dev/x"
                         << "/s.ini";
}

void CommandLineTest::options() {
    QFETCH(QStringList, arguments);
    const TCommandLineResult result = Parse(arguments);
    QCOMPARE(result.Action, A::Run);
    QCOMPARE(result.ExitCode(), 0);
    QTEST(result.Options.Minimized, "minimized");
    QTEST(result.Options.Port, "port");
    QTEST(result.Options.SettingsFile, "settings");
}

void CommandLineTest::badCommandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown long") << QStringList{"--frobnicate"} << "Unknown option 'frobnicate'";
    QTest::newRow("unknown short") << QStringList{"-x"} << "Unknown option 'x'";
    QTest::newRow("unknown among good")
        << QStringList{"--minimized", "--tray"} << "Unknown option 'tray'";
    QTest::newRow("port without value") << QStringList{"--port"} << "Missing value after '--port'";
    QTest::newRow("empty port") << QStringList{"--port="} << "--port needs a device path";
    QTest::newRow("empty settings") << QStringList{"--settings", ""} << "--settings needs a file";
    QTest::newRow("stray argument") << QStringList{"file.ini"} << "unexpected argument 'file.ini'";
}

void CommandLineTest::badCommandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const TCommandLineResult result = Parse(arguments);
    QCOMPARE(result.Action, A::ExitError);
    QCOMPARE(result.ExitCode(), 2);
    QVERIFY2(result.Output.startsWith(QStringLiteral("kelvane: ")), qPrintable(result.Output));
    QVERIFY2(result.Output.contains(message), qPrintable(result.Output));
    QVERIFY(result.Output.contains(QStringLiteral("Try 'kelvane --help'")));
}

void CommandLineTest::helpNamesSettingsFile() {
    const TCommandLineResult usual = Parse({QStringLiteral("--help")});
    QCOMPARE(usual.Action, A::ExitOutput);
    QCOMPARE(usual.ExitCode(), 0);
    QVERIFY(usual.Output.startsWith(QStringLiteral("Usage: kelvane [options]\n")));
    for (const char* option :
         {"--help", "--version", "--minimized", "--port PORT", "--settings FILE"}) {
        QVERIFY2(usual.Output.contains(QLatin1String(option)), option);
    }
    QVERIFY(usual.Output.contains(
        QStringLiteral("Settings file of this start: /home/u/.config/kelvane/kelvane.ini\n")));

    const TCommandLineResult other =
        Parse({QStringLiteral("-h"), QStringLiteral("--settings"), QStringLiteral("/x/o.ini")});
    QVERIFY(other.Output.contains(QStringLiteral("Settings file of this start: /x/o.ini\n")));
}

void CommandLineTest::versionText() {
    const QString expected = QStringLiteral("Kelvane ") + QString::fromStdString(GetVersion());
    QVERIFY(!GetVersion().empty());
    for (const char* option : {"--version", "-v"}) {
        const TCommandLineResult result = Parse({QLatin1String(option)});
        QCOMPARE(result.Action, A::ExitOutput);
        QCOMPARE(result.Output, expected + QLatin1Char('\n'));
    }
}

void CommandLineTest::qtOptionsPass() {
    // QApplication takes its own options out of the command line after this reading.
    const TCommandLineResult result =
        Parse({QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("-reverse"),
               QStringLiteral("--minimized")});
    QCOMPARE(result.Action, A::Run);
    QVERIFY(result.Options.Minimized);
    QCOMPARE(Parse({QStringLiteral("-platform")}).ExitCode(), 2);
}

void CommandLineTest::portAndSettingsReachTheStart() {
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("k.ini"));
    QByteArray program("kelvane"), port("--port"), serial("serial:FT5XQ2AB"), option("--settings"),
        file = settings.toLocal8Bit();
    char* argv[] = {program.data(), port.data(), serial.data(), option.data(), file.data()};
    qunsetenv("QV725_PORT");
    TDesktopStart start;
    QCOMPARE(start.ReadCommandLine(5, argv), -1);
    QVERIFY(start.Begin([] { return std::string("/unused.ini"); }));
    // The device library reads the port from its environment.
    QCOMPARE(qgetenv("QV725_PORT"), QByteArray("serial:FT5XQ2AB"));
    QCOMPARE(QString::fromStdString(start.SettingsFile()), settings);

    // Without --port a port named in the environment stays as it is.
    qputenv("QV725_PORT", "/dev/ttyUSB7");
    char* plain[] = {program.data()};
    TDesktopStart usual;
    QCOMPARE(usual.ReadCommandLine(1, plain), -1);
    QVERIFY(usual.Begin([&dir] { return dir.filePath(QStringLiteral("u.ini")).toStdString(); }));
    QCOMPARE(qgetenv("QV725_PORT"), QByteArray("/dev/ttyUSB7"));
    QCOMPARE(QString::fromStdString(usual.SettingsFile()), dir.filePath(QStringLiteral("u.ini")));
    qunsetenv("QV725_PORT");
}

void CommandLineTest::programAnswersWithoutDisplay() {
    // Without a display a window could not even be attempted: the program must answer and end
    // before it would open one (or touch the controller).
    const ProgramRun version = RunProgram({QStringLiteral("--version")});
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out,
             QStringLiteral("Kelvane ") + QString::fromStdString(GetVersion()) + QLatin1Char('\n'));

    const ProgramRun help = RunProgram({QStringLiteral("--help")});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.contains(QStringLiteral("Settings file of this start: ")));

    const ProgramRun bad = RunProgram({QStringLiteral("--no-such-option")});
    QCOMPARE(bad.exitCode, 2);
    QVERIFY2(bad.err.contains(QStringLiteral("Unknown option 'no-such-option'")),
             qPrintable(bad.err));
    QVERIFY(bad.out.isEmpty());
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
