// Watching the machine through the real main window over a scripted device: alarm notifications
// per episode with the tray's red mark and tooltip, stalls, the controller lost and found, the
// switch and its storage, a first run's settings file, "Watch in tray", history export and
// clearing, a recording whose folder goes away while polling goes on, and the unsaved-change
// marks that a successful Save takes away.
#include <QAction>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QSignalSpy>
#include <QTimer>
#include <QTreeView>

#include "FakeDevice.h"
#include "GuiTestSupport.h"
#include "VirtualListModel.h"
#include "core/History.h"
#include "pages/ChannelPage.h"
#include "pages/CommonPage.h"
#include "pages/HistoryPage.h"
#include "widgets/Floatedit.h"
#include "widgets/Jvsimscope.h"
#include "widgets/Trayicon.h"
#include "window/AlarmNotifier.h"
#include "window/HistoryTools.h"
#include "window/RecordingControl.h"
#include "window/UnsavedMarks.h"
#include "window/WatchTools.h"

namespace {

constexpr int32_t kTa = 4;
constexpr int32_t kVa = 8;

QStringList Messages(const QSignalSpy& spy) {
    QStringList texts;
    for (const QList<QVariant>& call : spy)
        texts << call.at(1).toString();
    return texts;
}

QStringList Lines(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    if (text.endsWith(QStringLiteral("\r\n")))
        text.chop(2);
    return text.split(QStringLiteral("\r\n"));
}

QStringList GeneralLines(const QByteArray& ini) {
    QStringList lines;
    bool inside = false;
    for (const QString& raw : QString::fromUtf8(ini).split(QStringLiteral("\r\n"))) {
        if (raw.startsWith(QLatin1Char('[')))
            inside = raw == QStringLiteral("[General]");
        else if (inside && !raw.isEmpty())
            lines << raw;
    }
    return lines;
}

// Runs the event loop until it has waited once (QTest::qWait never lets it block).
void WaitIdle() {
    QEventLoop loop;
    QTimer::singleShot(30, &loop, &QEventLoop::quit);
    loop.exec();
}

// Answers a save dialog with `fileName`.
TScriptedDialogs::TAnswer SaveAs(const QString& fileName) {
    return [fileName](QDialog& dialog) {
        auto* files = qobject_cast<QFileDialog*>(&dialog);
        if (files == nullptr)
            return int(QDialog::Rejected);
        files->selectFile(fileName);
        return int(QDialog::Accepted);
    };
}

}  // namespace

class WatchToolsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FakeDevice().Reset(); }

    void oneNotificationPerEpisodeWithMarkAndTooltip() {
        TWindowRig rig;
        FakeDevice().records[2] = {kTa, 0, 0, 0, 0, 650, 0, 0};
        FakeDevice().t[2] = 300;
        TMainForm& form = rig.Open();
        form.CommonPage().edN[2]->setText(QStringLiteral("CPU"));
        TAlarmNotifier* notifier = form.WatchTools()->Notifier;
        QSignalSpy spy(notifier, &TAlarmNotifier::Notified);
        form.TimerTimer();
        QCOMPARE(spy.count(), 0);
        QCOMPARE(form.Frame().TrayIcon->Hint(), QStringLiteral("Kelvane"));

        FakeDevice().t[2] = 714;
        form.TimerTimer();
        QCOMPARE(Messages(spy),
                 QStringList{QStringLiteral("Channel 3 'CPU': 71.4 °C, alarm at 65.0 °C")});
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("Kelvane alarm"));
        QVERIFY(notifier->Marked());
        QCOMPARE(form.Frame().TrayIcon->Icon().cacheKey(), notifier->MarkedIcon().cacheKey());
        QCOMPARE(form.Frame().TrayIcon->Hint(), QStringLiteral("Kelvane: alarm on 3 'CPU'"));

        // Staying in alarm for many cycles says nothing more.
        for (int i = 0; i < 5; ++i)
            form.TimerTimer();
        QCOMPARE(spy.count(), 1);

        FakeDevice().t[2] = 300;
        for (int i = 0; i < TAlarmTracker::kClearCycles; ++i)
            form.TimerTimer();
        QVERIFY(!notifier->Marked());
        QCOMPARE(form.Frame().TrayIcon->Hint(), QStringLiteral("Kelvane"));
        QVERIFY(form.Frame().TrayIcon->Icon().cacheKey() != notifier->MarkedIcon().cacheKey());

        FakeDevice().t[2] = 700;
        form.TimerTimer();
        QCOMPARE(spy.count(), 2);
        QCOMPARE(Messages(spy).last(),
                 QStringLiteral("Channel 3 'CPU': 70.0 °C, alarm at 65.0 °C"));
    }

    void stallAndControllerLostAndFound() {
        TWindowRig rig;
        FakeDevice().v.fill(900);
        FakeDevice().pwm.fill(128);
        FakeDevice().records[4] = {kVa, 0, 0, 0, 0, 0, 300, 128};
        TMainForm& form = rig.Open();
        QSignalSpy spy(form.WatchTools()->Notifier, &TAlarmNotifier::Notified);
        FakeDevice().v[1] = 0;  // channel 2 driven at 50 % and standing
        form.TimerTimer();
        form.TimerTimer();
        QCOMPARE(spy.count(), 0);
        form.TimerTimer();
        QCOMPARE(Messages(spy),
                 QStringList{QStringLiteral("Channel 2: fan stopped, 0 rpm at 50 % PWM")});
        QCOMPARE(form.Frame().TrayIcon->Hint(), QStringLiteral("Kelvane: alarm on 2"));

        spy.clear();
        FakeDevice().failures["GetT"] = -1;
        FakeDevice().openResult = false;
        form.TimerTimer();
        QVERIFY(!form.State().Online);
        QCOMPARE(Messages(spy), QStringList{QStringLiteral("Controller lost: OFF-Line")});
        form.TimerTimer();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(form.Frame().TrayIcon->Hint(),
                 QStringLiteral("Kelvane: alarm on 2; controller lost"));

        // Back with channel 5's fan slow under its speed alarm: both news in one message.
        FakeDevice().v[4] = 250;
        FakeDevice().openResult = true;
        FakeDevice().failures.clear();
        form.TimerTimer();
        QVERIFY(form.State().Online);
        QCOMPARE(Messages(spy).last(), QStringLiteral("Controller found again: ON-Line\n"
                                                      "Channel 5: 250 rpm, alarm below 300 rpm"));
    }

    void notificationsCanBeSwitchedOffAndTheChoiceIsStored() {
        TWindowRig rig;
        FakeDevice().records[0] = {kTa, 0, 0, 0, 0, 400, 0, 0};
        {
            TMainForm& form = rig.Open();
            QAction* item = form.WatchTools()->Notifier->Action();
            QVERIFY(item->isChecked());
            QVERIFY(form.Frame().mnFile->actions().contains(item));
            QVERIFY(form.Frame().pmSystray->actions().contains(item));
            item->trigger();
            QVERIFY(!item->isChecked());
            // Stored at once, not only at exit.
            QVERIFY(GeneralLines(rig.ReadIni()).contains(QStringLiteral("AlarmNotifications=0")));
            QSignalSpy spy(form.WatchTools()->Notifier, &TAlarmNotifier::Notified);
            FakeDevice().t[0] = 500;
            form.TimerTimer();
            QCOMPARE(spy.count(), 0);
            QVERIFY(form.WatchTools()->Notifier->Marked());  // the mark still shows the alarm
            rig.Close();
        }
        TMainForm& again = rig.Open();
        QVERIFY(!again.WatchTools()->Notifier->Action()->isChecked());
    }

    void firstRunSettingsFileKeepsItsForm() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        form.TimerTimer();
        rig.Close();
        const QByteArray first = rig.ReadIni();
        const QStringList general = GeneralLines(first);
        QCOMPARE(general.size(), 3);
        QVERIFY(general[0].startsWith(QStringLiteral("Left=")));
        QVERIFY(general[1].startsWith(QStringLiteral("Top=")));
        QCOMPARE(general[2], QStringLiteral("Channel=0"));
        QVERIFY(!first.contains("AlarmNotifications") && !first.contains("WatchInTray"));
        // A second run that changes nothing writes the same bytes.
        rig.Open();
        rig.Close();
        QCOMPARE(rig.ReadIni(), first);
    }

    void watchInTrayKeepsPollingWhileHidden() {
        TWindowRig rig;
        {
            TMainForm& form = rig.Open();
            QAction* watch = form.WatchTools()->acWatchInTray;
            QVERIFY(!watch->isChecked());
            QVERIFY(form.Frame().mnFile->actions().contains(watch));
            QVERIFY(form.Frame().pmSystray->actions().contains(watch));
            // Off: hiding into the tray stops the polling, as ever.
            form.TrayIconMinimize();
            QVERIFY(!form.HistoryPage().Scope->Active());
            form.HistoryPage().Scope->SetActive(true);

            watch->trigger();
            QVERIFY(GeneralLines(rig.ReadIni()).contains(QStringLiteral("WatchInTray=1")));
            form.TrayIconMinimize();
            QVERIFY(form.HistoryPage().Scope->Active());

            // Switched off while hidden: polling stops at once; on again: it starts.
            form.hide();
            watch->trigger();
            QVERIFY(!form.HistoryPage().Scope->Active());
            watch->trigger();
            QVERIFY(form.HistoryPage().Scope->Active());
            rig.Close();
        }
        TMainForm& again = rig.Open();
        QVERIFY(again.WatchTools()->acWatchInTray->isChecked());
    }

    void exportWritesTheHistoryAsCsv() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        form.CommonPage().edN[0]->setText(QStringLiteral("CPU, top"));
        form.CommonPage().edN[1]->setText(QStringLiteral("Gehäuse \"vorn\""));
        for (int i = 0; i < 3; ++i) {
            FakeDevice().t[0] = 250 + i;
            FakeDevice().t[5] = -30;
            form.TimerTimer();
        }
        QVERIFY(form.Frame().pmHistory->actions().contains(
            form.WatchTools()->HistoryTools->ExportAction()));
        QVERIFY(form.Frame().mnFile->actions().contains(
            form.WatchTools()->HistoryTools->ExportAction()));
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("out.csv"));
        rig.dialogs.Answer(SaveAs(file));
        form.WatchTools()->HistoryTools->ExportAction()->trigger();
        QCOMPARE(rig.dialogs.shown.size(), size_t(1));
        QCOMPARE(rig.dialogs.shown[0].className, QStringLiteral("QFileDialog"));

        const QStringList lines = Lines(file);
        QCOMPARE(lines.size(), form.State().History->Count() + 1);
        QCOMPARE(lines[0], QStringLiteral("Time,\"CPU, top\",\"Gehäuse \"\"vorn\"\"\",Channel 3,"
                                          "Channel 4,Channel 5,Channel 6"));
        const QStringList last = lines.last().split(QLatin1Char(','));
        QCOMPARE(last.size(), 7);
        QVERIFY(QDateTime::fromString(last[0], Qt::ISODate).isValid());
        QVERIFY(last[0].contains(QLatin1Char('T')));
        QCOMPARE(last[1], QStringLiteral("25.2"));
        QCOMPARE(last[6], QStringLiteral("0.0"));

        // Cancelled: nothing written, nothing said.
        QFile::remove(file);
        form.WatchTools()->HistoryTools->ExportAction()->trigger();
        QVERIFY(!QFile::exists(file));
        QCOMPARE(rig.dialogs.shown.size(), size_t(2));
    }

    void clearHistoryAsksFirst() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        FakeDevice().t[3] = 420;
        form.TimerTimer();
        form.TimerTimer();
        const int count = form.State().History->Count();
        QVERIFY(count >= 2);
        QAction* clear = form.WatchTools()->HistoryTools->ClearAction();
        QVERIFY(form.Frame().pmHistory->actions().contains(clear));
        rig.dialogs.Answer(QMessageBox::No);
        clear->trigger();
        QCOMPARE(form.State().History->Count(), count);
        rig.dialogs.Answer(QMessageBox::Yes);
        clear->trigger();
        QCOMPARE(form.State().History->Count(), 0);
        QCOMPARE(
            form.HistoryPage()
                .HistoryModel->data(form.HistoryPage().HistoryModel->index(3, 3), Qt::DisplayRole)
                .toString(),
            QStringLiteral("0.0"));
        QCOMPARE(rig.dialogs.shown.size(), size_t(2));
        QVERIFY(rig.dialogs.shown[1].text.startsWith(QStringLiteral("Clear the history")));
        form.TimerTimer();
        QCOMPARE(form.State().History->Count(), 1);
    }

    void recordingStopsOnceWhenItsFolderGoesAndPollingGoesOn() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("logs")));
        const QString file = dir.filePath(QStringLiteral("logs/rec.csv"));
        TRecordingControl* recording = form.WatchTools()->Recording;
        rig.dialogs.Answer(SaveAs(file));
        recording->Action()->trigger();
        QVERIFY(recording->Recording());
        QVERIFY(recording->Action()->isChecked());
        FakeDevice().t[0] = 333;
        form.TimerTimer();
        form.TimerTimer();
        QStringList lines = Lines(file);
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[2].section(QLatin1Char(','), 1, 3) == QStringLiteral("33.3,0,0.0"));

        QSignalSpy failed(recording, &TRecordingControl::Failed);
        QVERIFY(QDir(dir.filePath(QStringLiteral("logs"))).removeRecursively());
        const int samples = form.State().History->Count();
        const size_t reads = FakeDevice().CallsStartingWith("GetT").size();
        for (int i = 0; i < 4; ++i) {
            form.TimerTimer();
            QTest::qWait(5);
        }
        QCOMPARE(failed.count(), 1);
        QVERIFY(!recording->Recording());
        QVERIFY(!recording->Action()->isChecked());
        QCOMPARE(form.State().History->Count(), samples + 4);
        QCOMPARE(FakeDevice().CallsStartingWith("GetT").size(), reads + 4);
        QVERIFY(form.HistoryPage().Scope->Active());
        QCOMPARE(rig.dialogs.shown.size(), size_t(2));  // the save dialog, then one error box
        QVERIFY(rig.dialogs.shown[1].text.contains(QStringLiteral("Recording stopped")));
    }

    void unsavedMarksGoWhenSaveSucceeds() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        form.Frame().PageControl->setCurrentWidget(form.Frame().tsChannel);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        TUnsavedMarks* marks = form.WatchTools()->Marks;
        QVERIFY(!marks->Marked(0));
        form.ChannelPage().feTmax->setFocus(Qt::TabFocusReason);
        form.ChannelPage().feTmax->selectAll();
        QTest::keyClicks(form.ChannelPage().feTmax, QStringLiteral("55"));
        QTest::keyClick(form.ChannelPage().feTmax, Qt::Key_Return);
        QVERIFY(form.State().Changed[0]);
        WaitIdle();  // the marks follow when the loop goes idle
        QVERIFY(marks->Marked(0));
        QCOMPARE(form.ChannelPage().cbCh->itemIcon(0).cacheKey() ==
                     form.ChannelPage().cbCh->itemIcon(1).cacheKey(),
                 false);

        // A failed save (busy three times: the command layer tries twice more) keeps the mark
        // and the flag.
        FakeDevice().failures["SavePar"] = 3;
        form.ChannelPage().btSave->click();
        WaitIdle();
        QVERIFY(form.State().Changed[0] && marks->Marked(0));

        form.ChannelPage().btSave->click();
        QVERIFY(!form.State().Changed[0]);
        WaitIdle();
        QVERIFY(!marks->Marked(0));
        const size_t shown = rig.dialogs.shown.size();
        QVERIFY(form.FormCloseQuery());
        QCOMPARE(rig.dialogs.shown.size(), shown);  // nothing left to offer
    }
};

KELVANE_GUI_TEST_MAIN(WatchToolsTest)
#include "WatchToolsTest.moc"
