// Start-up and shutdown of the main window over a scripted device: the settings file of a first
// run, a hand-edited file kept, damaged presets, a bad trace colour, the close query's answers
// and the order of the EEPROM saves, closing without the question, a settings file that cannot
// be written.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTabWidget>
#include <csignal>

#include "FakeDevice.h"
#include "GuiTestSupport.h"
#include "ShutdownSignals.h"
#include "core/Exceptions.h"
#include "core/Params.h"
#include "pages/ChannelPage.h"
#include "pages/CommonPage.h"
#include "pages/HistoryPage.h"
#include "widgets/Jvsimscope.h"

namespace {

// The lines of one section of an ini text, without the trailing empty line.
QStringList SectionLines(const QByteArray& ini, const QString& section) {
    QStringList lines;
    bool inside = false;
    for (const QString& raw : QString::fromUtf8(ini).split(QStringLiteral("\r\n"))) {
        if (raw.startsWith(QLatin1Char('['))) {
            inside = raw == QLatin1Char('[') + section + QLatin1Char(']');
            continue;
        }
        if (inside && !raw.isEmpty())
            lines << raw;
    }
    return lines;
}

QStringList SectionNames(const QByteArray& ini) {
    QStringList names;
    for (const QString& raw : QString::fromUtf8(ini).split(QStringLiteral("\r\n"))) {
        if (raw.startsWith(QLatin1Char('[')))
            names << raw.mid(1, raw.size() - 2);
    }
    return names;
}

}  // namespace

class LifecycleTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FakeDevice().Reset(); }

    void firstRunWritesEverySection() {
        TWindowRig rig;
        FakeDevice().records[2] = {0x0F, 300, 77, 600, 255, 700, 500, 128};
        TMainForm& form = rig.Open();
        QCOMPARE(form.Frame().StatusPanels[0]->text(), QStringLiteral("ON-Line"));
        QCOMPARE(form.Frame().StatusPanels[1]->text(), QStringLiteral("Default"));
        QCOMPARE(form.State().SelectedChannel, 0);
        QCOMPARE(form.Frame().PageControl->currentIndex(), 0);
        const QSize screen = QGuiApplication::primaryScreen()->size();
        QCOMPARE(form.pos().x(), screen.width() / 2 - form.width() / 2);
        QCOMPARE(form.pos().y(), screen.height() / 2 - form.height() / 2);
        QVERIFY(rig.dialogs.shown.empty());
        // The start-up read all six parameter sets into the active preset.
        const TChannelParams& read = form.State().Params->Active()->Channels[2];
        QCOMPARE(int(read.Boost) + read.Auto + read.Ta + read.Va, 4);
        QCOMPARE(read.T_min, 300);
        QCOMPARE(read.PWM_max, 255);
        QCOMPARE(read.V_alarm, 500);
        rig.Close();

        const QByteArray ini = rig.ReadIni();
        QCOMPARE(SectionNames(ini),
                 (QStringList{"General", "Channels", "History", "Presets", "Scope", "Graph"}));
        QCOMPARE(SectionLines(ini, "Graph"),
                 (QStringList{"BackgroundColor=clWhite", "GridColor=$00DDDDDD",
                              "NumberColor=clBlack", "AlarmColor=clRed", "GraphColor=clGray",
                              "CursorHColor=clGreen", "CursorVColor=clRed"}));
        QCOMPARE(SectionLines(ini, "Scope"),
                 (QStringList{"BackgroundColor=clBlack", "GridColor=$00408000"}));
        const QStringList channels = SectionLines(ini, "Channels");
        QCOMPARE(channels.mid(0, 6),
                 (QStringList{"Name0=", "Name1=", "Name2=", "Name3=", "Name4=", "Name5="}));
        QCOMPARE(channels.mid(6),
                 (QStringList{"Color0=clGreen", "Color1=clRed", "Color2=clBlue", "Color3=clLime",
                              "Color4=clFuchsia", "Color5=clMaroon"}));
        QCOMPARE(SectionLines(ini, "History"),
                 (QStringList{"WithColum0=43", "WithColum1=120", "WithColum2=70", "WithColum3=70",
                              "WithColum4=55", "WithColum5=55"}));
        const QStringList presets = SectionLines(ini, "Presets");
        QCOMPARE(presets.size(), 3);
        QCOMPARE(presets[0], QStringLiteral("WithColum0=30"));
        QCOMPARE(presets[1], QStringLiteral("WithColum1=300"));
        QVERIFY(presets[2].startsWith(QStringLiteral("List=0201060744656661756C74")));
        QCOMPARE(SectionLines(ini, "General").value(2), QStringLiteral("Channel=0"));
        QVERIFY(FakeDevice().calls.back() == "CloseDevice");
    }

    void handEditedFileKeepsItsUnknownLines() {
        TWindowRig rig;
        rig.WriteIni(
            "; my notes\r\n[General]\r\nLeft=0x20\r\nTop=abc\r\nChannel=4\r\n"
            "Mine=keep me\r\n[Channels]\r\ncolor0 = clred\r\nName1= Fan B \r\n"
            "just a line\r\n[Extra]\r\nWhatever=1\r\n");
        TMainForm& form = rig.Open();
        QCOMPARE(form.pos().x(), 32);
        const QSize screen = QGuiApplication::primaryScreen()->size();
        QCOMPARE(form.pos().y(), screen.height() / 2 - form.height() / 2);
        QCOMPARE(form.State().SelectedChannel, 4);
        QCOMPARE(form.State().ChannelName[1], QStringLiteral("Fan B"));
        QCOMPARE(form.ChannelPage().cbCh->itemText(1), QStringLiteral("2: Fan B"));
        QCOMPARE(form.HistoryPage().Scope->Lines().GetItem(0)->Color, clRed);
        rig.Close();

        const QByteArray ini = rig.ReadIni();
        QVERIFY(!ini.contains("; my notes"));
        const QStringList general = SectionLines(ini, "General");
        QVERIFY(general.contains(QStringLiteral("Mine=keep me")));
        QCOMPARE(general.indexOf(QStringLiteral("Left=32")), 0);
        const QStringList channels = SectionLines(ini, "Channels");
        QCOMPARE(channels.value(0), QStringLiteral("Color0=clRed"));
        QVERIFY(channels.contains(QStringLiteral("Name1=Fan B")));
        QVERIFY(channels.contains(QStringLiteral("just a line")));
        QCOMPARE(SectionLines(ini, "Extra"), QStringList{QStringLiteral("Whatever=1")});
    }

    void damagedPresetsEndTheStartWithoutWriting_data() {
        QTest::addColumn<QByteArray>("list");
        QTest::newRow("too short") << QByteArray("02010607446566");
        QTest::newRow("wrong tag") << QByteArray("0701");
        QTest::newRow("empty") << QByteArray("");
    }

    void damagedPresetsEndTheStartWithoutWriting() {
        QFETCH(QByteArray, list);
        TWindowRig rig;
        const QByteArray text = "[General]\r\nLeft=10\r\n[Presets]\r\nList=" + list + "\r\n";
        rig.WriteIni(text);
        bool failed = false;
        try {
            rig.Open();
        } catch (const Exception& error) {
            failed = true;
            const QString message = QString::fromStdString(error.Message());
            QVERIFY2(message == "Stream read error" || message == "Invalid property value",
                     qPrintable(message));
        }
        QVERIFY(failed);
        QCOMPARE(rig.ReadIni(), text);
    }

    void unreadableTraceColourKeepsTheRestOfTheStart() {
        TWindowRig rig;
        rig.WriteIni(
            "[General]\r\nLeft=7\r\nTop=9\r\n[Channels]\r\nName0=Pump\r\n"
            "Color1=bogus\r\nColor2=clYellow\r\n[History]\r\nWithColum1=99\r\n");
        TMainForm& form = rig.Open();
        QCOMPARE(rig.dialogs.shown.size(), size_t(1));
        QCOMPARE(rig.dialogs.shown[0].text, QStringLiteral("'bogus' is not a valid integer value"));
        QCOMPARE(form.HistoryPage().Scope->Lines().GetItem(1)->Color, clRed);
        QCOMPARE(form.HistoryPage().Scope->Lines().GetItem(2)->Color, clYellow);
        QCOMPARE(form.State().ChannelName[0], QStringLiteral("Pump"));
        QCOMPARE(form.pos(), QPoint(7, 9));
        QCOMPARE(form.Frame().StatusPanels[0]->text(), QStringLiteral("ON-Line"));
        rig.Close();
        const QStringList channels = SectionLines(rig.ReadIni(), "Channels");
        QVERIFY(channels.contains(QStringLiteral("Name0=Pump")));
        QVERIFY(channels.contains(QStringLiteral("Color1=clRed")));
        QVERIFY(SectionLines(rig.ReadIni(), "History").contains(QStringLiteral("WithColum1=99")));
    }

    void closeQueryAnswers_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QStringList>("saves");
        QTest::newRow("yes") << int(QMessageBox::Yes) << true
                             << QStringList{"SavePar(1)", "SavePar(4)"};
        QTest::newRow("no") << int(QMessageBox::No) << true << QStringList{};
        QTest::newRow("cancel") << int(QMessageBox::Cancel) << false << QStringList{};
        QTest::newRow("escape") << int(QMessageBox::Escape) << false << QStringList{};
    }

    void closeQueryAnswers() {
        QFETCH(int, answer);
        QFETCH(bool, closes);
        QFETCH(QStringList, saves);
        TWindowRig rig;
        TMainForm& form = rig.Open();
        form.show();
        form.State().Changed[4] = true;
        form.State().Changed[1] = true;
        rig.dialogs.Answer(answer);
        FakeDevice().calls.clear();
        QCOMPARE(form.close(), closes);
        QCOMPARE(rig.dialogs.shown.size(), size_t(1));
        const TShownDialog& box = rig.dialogs.shown[0];
        QCOMPARE(box.text, QStringLiteral("Save new parameters to EEPROM?"));
        QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QStringList calls;
        for (const std::string& call : FakeDevice().calls)
            calls << QString::fromStdString(call);
        QStringList expected = saves;
        if (closes)
            expected << QStringLiteral("CloseDevice");
        QCOMPARE(calls, expected);
        QCOMPARE(form.isVisible(), !closes);
        QVERIFY(form.State().Changed[1] && form.State().Changed[4]);
    }

    void closingWithoutChangesAsksNothing() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        form.show();
        QVERIFY(form.close());
        QVERIFY(rig.dialogs.shown.empty());
    }

    void failedEepromSaveKeepsTheWindowOpen() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        form.show();
        form.State().Changed[0] = true;
        form.State().Changed[3] = true;
        FakeDevice().failures["SavePar"] = 3;  // busy at every attempt
        rig.dialogs.Answer(QMessageBox::Yes);
        rig.dialogs.Answer(QMessageBox::Ok);
        QVERIFY(!form.close());
        QVERIFY(form.isVisible());
        QCOMPARE(rig.dialogs.shown.size(), size_t(2));
        QCOMPARE(rig.dialogs.shown[1].text, QStringLiteral("Save parameters: device busy."));
        QCOMPARE(rig.dialogs.shown[1].icon, QMessageBox::Critical);
        // The next close asks again and saves.
        rig.dialogs.Answer(QMessageBox::Yes);
        FakeDevice().calls.clear();
        QVERIFY(form.close());
        QCOMPARE(FakeDevice().CallsStartingWith("SavePar"),
                 (std::vector<std::string>{"SavePar(0)", "SavePar(3)"}));
    }

    void signalCloseSkipsTheQuestionAndWrites() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        form.show();
        form.State().Changed[2] = true;
        form.CommonPage().edN[2]->setText(QStringLiteral("Radiator"));
        QSignalSpy closed(&form, &TMainForm::FormClosed);
        form.CloseWithoutQuestion();
        QCOMPARE(closed.count(), 1);
        QVERIFY(rig.dialogs.shown.empty());
        QVERIFY(FakeDevice().CallsStartingWith("SavePar").empty());
        rig.Close();
        QVERIFY(SectionLines(rig.ReadIni(), "Channels").contains(QStringLiteral("Name2=Radiator")));
    }

    void terminationSignalsReachTheEventLoop() {
        TShutdownSignals shutdownSignals;
        QSignalSpy requested(&shutdownSignals, &TShutdownSignals::ShutdownRequested);
        std::raise(SIGTERM);
        std::raise(SIGINT);
        QTRY_COMPARE(requested.count(), 2);
        QCOMPARE(requested[0][0].toInt(), SIGTERM);
        QCOMPARE(requested[1][0].toInt(), SIGINT);
    }

    void unwritableSettingsFileIsReported() {
        TWindowRig rig;
        // A folder that does not exist cannot take the file.
        auto form = std::make_unique<TMainForm>("/nonexistent-kelvane-folder/kelvane.ini");
        form->SetPollInterval(0);
        form.reset();
        QCOMPARE(rig.dialogs.shown.size(), size_t(1));
        QCOMPARE(rig.dialogs.shown[0].text,
                 QStringLiteral("Cannot create file /nonexistent-kelvane-folder/kelvane.ini"));
    }

    void startWithoutControllerKeepsTheStoredPreset() {
        TWindowRig rig;
        FakeDevice().records[0].tMin = 300;
        rig.Open();
        rig.Close();
        const QStringList stored = SectionLines(rig.ReadIni(), "Presets");

        FakeDevice().Reset();
        FakeDevice().openResult = false;
        TMainForm& form = rig.Open();
        QCOMPARE(form.Frame().StatusPanels[0]->text(), QStringLiteral("OFF-Line"));
        QVERIFY(rig.dialogs.shown.empty());
        QCOMPARE(form.State().Params->Active()->Channels[0].T_min, 300);
        QVERIFY(FakeDevice().CallsStartingWith("GetM").empty());
        form.TimerTimer();
        form.ChannelPage().SelectChannel(0);
        QCOMPARE(form.State().Params->Active()->Channels[0].T_min, 300);
        rig.Close();
        QCOMPARE(SectionLines(rig.ReadIni(), "Presets"), stored);
    }
};

KELVANE_GUI_TEST_MAIN(LifecycleTest)
#include "LifecycleTest.moc"
