// One program per settings file: a second start asks the running one to show its window and
// ends with 0, a long-running program's lock is never taken for stale, and a dead program's
// lock does not keep the next start out. Runs the built program on the offscreen platform.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "desktop/SingleInstance.h"

namespace {

// The program on the offscreen platform with a private runtime folder (no simulated
// controller is found) and the settings file `settings`.
class ProgramProcess {
public:
    ProgramProcess(const QString& runtime, const QStringList& arguments) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(KELVANE_PROGRAM), arguments);
    }
    ~ProgramProcess() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }
    // Ends the program the way a service manager would (SIGTERM) and waits for it; its code.
    int Terminate() {
        ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
        return Wait();
    }
    int Wait(int timeoutMs = 60000) {
        if (!process.waitForFinished(timeoutMs))
            return -1;
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    }
    QProcess process;
};

bool WaitForFile(const QString& path, int timeoutMs = 60000) {
    QElapsedTimer timer;
    timer.start();
    while (!QFileInfo::exists(path)) {
        if (timer.hasExpired(timeoutMs))
            return false;
        QTest::qWait(50);
    }
    return true;
}

}  // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void secondStartActivatesFirst();
    void runningProgramIsAskedToShowItself();
    void oneClaimPerSettingsFile();
    void oldLockOfRunningProgramHolds();
    void deadProgramsLockIsTakenOver();

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString Path(const QString& name) const { return dir_->filePath(name); }
};

void SingleInstanceTest::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

void SingleInstanceTest::secondStartActivatesFirst() {
    const QString settings = Path(QStringLiteral("k.ini"));
    const QStringList args{QStringLiteral("--settings"), settings};
    ProgramProcess first(dir_->path(), args);
    QVERIFY(first.process.waitForStarted());
    // The first program holds the lock once it runs (its socket follows with the window).
    QVERIFY(WaitForFile(settings + QStringLiteral(".lock")));

    ProgramProcess second(dir_->path(), args);
    QCOMPARE(second.Wait(), 0);
    QCOMPARE(first.process.state(), QProcess::Running);
    QVERIFY2(!second.process.readAllStandardError().contains("did not answer"),
             "the running program did not confirm the activation");

    // Only the first one wrote the file: it ends normally and keeps its settings.
    QCOMPARE(first.Terminate(), 0);
    QVERIFY(QFile::exists(settings));
    QVERIFY(!QFile::exists(settings + QStringLiteral(".lock")));

    // Another settings file is another program: it runs beside the first.
    ProgramProcess third(dir_->path(), args);
    ProgramProcess other(dir_->path(),
                         {QStringLiteral("--settings"), Path(QStringLiteral("o.ini"))});
    QVERIFY(WaitForFile(Path(QStringLiteral("o.ini.lock"))));
    QVERIFY(WaitForFile(settings + QStringLiteral(".lock")));
    QVERIFY(!third.process.waitForFinished(500));
    QCOMPARE(other.process.state(), QProcess::Running);
    QCOMPARE(third.Terminate(), 0);
    QCOMPARE(other.Terminate(), 0);
}

void SingleInstanceTest::runningProgramIsAskedToShowItself() {
    // This process plays the running program; the real program is the second start.
    qputenv("XDG_RUNTIME_DIR", dir_->path().toLocal8Bit());
    const QString settings = Path(QStringLiteral("k.ini"));
    TSingleInstance running(settings);
    QVERIFY(running.Claim());
    QSignalSpy asked(&running, &TSingleInstance::ActivationRequested);

    ProgramProcess second(dir_->path(), {QStringLiteral("--settings"), settings});
    QVERIFY(asked.wait(60000));
    QTRY_COMPARE_WITH_TIMEOUT(second.process.state(), QProcess::NotRunning, 60000);
    QCOMPARE(second.process.exitCode(), 0);
    QCOMPARE(asked.count(), 1);
    // The second start never wrote the settings file.
    QVERIFY(!QFile::exists(settings));
}

void SingleInstanceTest::oneClaimPerSettingsFile() {
    const QString settings = Path(QStringLiteral("k.ini"));
    TSingleInstance first(settings);
    QVERIFY(first.Claim());
    // Another spelling of the same file is the same file.
    TSingleInstance same(dir_->path() + QStringLiteral("/./k.ini"));
    QVERIFY(!same.Claim());
    TSingleInstance other(Path(QStringLiteral("other.ini")));
    QVERIFY(other.Claim());
    QCOMPARE(first.LockPath(), settings + QStringLiteral(".lock"));
}

void SingleInstanceTest::oldLockOfRunningProgramHolds() {
    // A program that has run for an hour still holds its settings file.
    const QString settings = Path(QStringLiteral("k.ini"));
    TSingleInstance first(settings);
    QVERIFY(first.Claim());
    QFile lock(first.LockPath());
    QVERIFY(lock.open(QIODevice::ReadWrite));
    QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                             QFileDevice::FileModificationTime));
    lock.close();
    TSingleInstance second(settings);
    QVERIFY(!second.Claim());
}

void SingleInstanceTest::deadProgramsLockIsTakenOver() {
    const QString settings = Path(QStringLiteral("k.ini"));
    const QStringList args{QStringLiteral("--settings"), settings};
    {
        ProgramProcess killed(dir_->path(), args);
        QVERIFY(WaitForFile(settings + QStringLiteral(".lock")));
        killed.process.kill();
        killed.process.waitForFinished();
    }
    QVERIFY(QFile::exists(settings + QStringLiteral(".lock")));
    ProgramProcess next(dir_->path(), args);
    QVERIFY(!next.process.waitForFinished(1500));
    QCOMPARE(next.Terminate(), 0);
}

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
