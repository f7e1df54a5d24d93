// Failed reads and brief line errors over a scripted device: a failed cycle keeps the last good
// readings on the screen, in the history and on the scope, and shows them in grey while
// off-line; a busy status or a garbled reply is asked for again within the cycle, a missing
// reply is not; the same holds for the identification when the controller comes back.
#include <QLabel>
#include <QLineEdit>

#include "FakeDevice.h"
#include "GuiTestSupport.h"
#include "core/History.h"
#include "core/Params.h"
#include "pages/ChannelPage.h"
#include "pages/CommonPage.h"
#include "pages/HistoryPage.h"
#include "widgets/Jvsimscope.h"

namespace {

using TSix = std::array<int32_t, 6>;

constexpr TSix kT = {253, 261, 305, 412, 198, 377};
constexpr TSix kV = {1200, 1300, 1400, 1500, 1600, 1700};
constexpr TSix kPwm = {100, 110, 120, 130, 140, 150};

void ScriptDevice() {
    FakeDevice().Reset();
    FakeDevice().t = kT;
    FakeDevice().v = kV;
    FakeDevice().pwm = kPwm;
    for (int c = 0; c < 6; ++c)
        FakeDevice().records[c] = {2, 200, 50, 600, 255, 800, 0, 0};
}

// Scripts `count` failures of `command` of the kind named: "busy", "garbled" or "timeout".
void ScriptFailure(const QString& kind, const std::string& command, int count) {
    if (kind == QLatin1String("busy"))
        FakeDevice().failures[command] = count;
    else if (kind == QLatin1String("garbled"))
        FakeDevice().garbles[command] = count;
    else
        FakeDevice().timeouts[command] = count;
}

QString Status(const TMainForm& form) {
    return form.Frame().StatusPanels[0]->text();
}

QColor TextColor(const QLineEdit* box) {
    return box->palette().color(QPalette::Active, QPalette::Text);
}

// Every read-out of both pages, Common first.
std::vector<QLineEdit*> Readouts(const TMainForm& form) {
    std::vector<QLineEdit*> boxes;
    for (int c = 0; c < 6; ++c)
        boxes.insert(boxes.end(), {form.CommonPage().edT[c], form.CommonPage().edVxC[c],
                                   form.CommonPage().edVC[c]});
    boxes.insert(boxes.end(),
                 {form.ChannelPage().edTx, form.ChannelPage().edVx, form.ChannelPage().edV});
    return boxes;
}

}  // namespace

class FailedReadTest : public QObject {
    Q_OBJECT

private slots:
    void init() { ScriptDevice(); }

    // Each failing request of a cycle, whatever its kind: the readings stay the last good
    // ones, the sample and the scope repeat them, the boxes keep their texts in grey.
    void aFailedCycleKeepsTheLastGoodReadings_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("command");
        for (const char* kind : {"busy", "garbled", "timeout"}) {
            for (const char* command : {"GetT", "GetV", "GetPWM"})
                QTest::addRow("%s %s", kind, command) << kind << command;
        }
    }

    void aFailedCycleKeepsTheLastGoodReadings() {
        QFETCH(QString, kind);
        QFETCH(QString, command);
        TWindowRig rig;
        TMainForm& form = rig.Open();
        form.TimerTimer();
        const QPalette palette = QApplication::palette(form.CommonPage().edT[0]);
        const QColor normal = palette.color(QPalette::Active, QPalette::Text);
        for (QLineEdit* box : Readouts(form))
            QCOMPARE(TextColor(box), normal);
        const QString shown = form.CommonPage().edT[3]->text();

        // The failing cycle reads other values where it gets an answer at all.
        FakeDevice().t = {900, 900, 900, 900, 900, 900};
        FakeDevice().v = {7, 7, 7, 7, 7, 7};
        ScriptFailure(kind, command.toStdString(), -1);
        form.TimerTimer();
        QCOMPARE(Status(form), QStringLiteral("OFF-Line"));
        QCOMPARE(form.State().Temperature, kT);
        QCOMPARE(form.State().FanSpeed, kV);
        QCOMPARE(form.State().Pwm, kPwm);
        QCOMPARE(form.State().History->Count(), 2);
        for (int c = 0; c < 6; ++c) {
            QCOMPARE(form.State().History->Last().Values[c],
                     form.State().History->Items(0).Values[c]);
            QCOMPARE(form.HistoryPage().Scope->Lines().GetItem(c)->Position, kT[c] / 10);
        }
        QCOMPARE(form.CommonPage().edT[3]->text(), shown);
        QCOMPARE(form.CommonPage().edVxC[2]->text(), QStringLiteral("1400"));
        for (QLineEdit* box : Readouts(form))
            QVERIFY2(TextColor(box) != normal, qPrintable(box->objectName()));
        QVERIFY(rig.dialogs.shown.empty());

        // Back: live readings in the usual colour.
        FakeDevice().failures.clear();
        FakeDevice().garbles.clear();
        FakeDevice().timeouts.clear();
        form.TimerTimer();
        QCOMPARE(Status(form), QStringLiteral("ON-Line"));
        QCOMPARE(form.State().Temperature[0], 900);
        for (QLineEdit* box : Readouts(form))
            QCOMPARE(TextColor(box), normal);
    }

    void startingOfflineShowsStaleZeros() {
        FakeDevice().openResult = false;
        TWindowRig rig;
        TMainForm& form = rig.Open();
        form.TimerTimer();
        QCOMPARE(form.CommonPage().edT[0]->text(), QStringLiteral("0.0"));
        const QColor normal = QApplication::palette(form.CommonPage().edT[0]).color(QPalette::Text);
        for (QLineEdit* box : Readouts(form))
            QVERIFY(TextColor(box) != normal);
        QVERIFY(FakeDevice().CallsStartingWith("Get").empty());
    }

    void briefErrorsAreAskedAgainWithinTheCycle_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("failures");
        QTest::addColumn<int>("requests");
        QTest::addColumn<bool>("online");
        QTest::newRow("busy once") << "busy" << 1 << 2 << true;
        QTest::newRow("busy twice") << "busy" << 2 << 3 << true;
        QTest::newRow("busy three times") << "busy" << 3 << 3 << false;
        QTest::newRow("garbled once") << "garbled" << 1 << 2 << true;
        QTest::newRow("garbled twice") << "garbled" << 2 << 3 << true;
        QTest::newRow("garbled three times") << "garbled" << 3 << 3 << false;
        // A missing reply means the controller is gone: asking again would cost another 200 ms.
        QTest::newRow("timeout") << "timeout" << 1 << 1 << false;
    }

    void briefErrorsAreAskedAgainWithinTheCycle() {
        QFETCH(QString, kind);
        QFETCH(int, failures);
        QFETCH(int, requests);
        QFETCH(bool, online);
        TWindowRig rig;
        TMainForm& form = rig.Open();
        FakeDevice().calls.clear();
        FakeDevice().t = {300, 300, 300, 300, 300, 300};
        ScriptFailure(kind, "GetV", failures);
        form.TimerTimer();
        QCOMPARE(static_cast<int>(FakeDevice().CallsStartingWith("GetV").size()), requests);
        QCOMPARE(form.State().Online, online);
        QCOMPARE(form.State().Temperature[0], online ? 300 : kT[0]);
        QCOMPARE(form.State().FanSpeed, kV);
        QVERIFY(rig.dialogs.shown.empty());
    }

    // A user action that meets a brief error is asked again too: no error box.
    void aUserActionRidesOutABriefError() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        FakeDevice().failures["SavePar"] = 2;
        form.ChannelPage().btSaveClick();
        QCOMPARE(FakeDevice().CallsStartingWith("SavePar"),
                 (std::vector<std::string>(3, "SavePar(0)")));
        QVERIFY(rig.dialogs.shown.empty());
    }

    void aGarbledIdentificationIsAskedAgain_data() {
        QTest::addColumn<int>("garbled");
        QTest::addColumn<int>("opens");
        QTest::addColumn<bool>("online");
        QTest::newRow("once") << 1 << 2 << true;
        QTest::newRow("twice") << 2 << 3 << true;
        QTest::newRow("three times") << 3 << 3 << false;
    }

    void aGarbledIdentificationIsAskedAgain() {
        QFETCH(int, garbled);
        QFETCH(int, opens);
        QFETCH(bool, online);
        TWindowRig rig;
        TMainForm& form = rig.Open();
        FakeDevice().timeouts["GetT"] = 1;
        form.TimerTimer();
        QVERIFY(!form.State().Online);
        FakeDevice().calls.clear();
        FakeDevice().garbles["OpenDevice"] = garbled;
        form.TimerTimer();
        QCOMPARE(static_cast<int>(FakeDevice().CallsStartingWith("OpenDevice").size()), opens);
        QCOMPARE(form.State().Online, online);
    }

    // No controller at all leaves the library's text as the last failure left it: that is no
    // line error of the open, and one search per cycle is enough.
    void noControllerIsSearchedForOncePerCycle() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        FakeDevice().garbles["GetT"] = -1;
        form.TimerTimer();
        QVERIFY(!form.State().Online);
        FakeDevice().openResult = false;
        FakeDevice().calls.clear();
        form.TimerTimer();
        form.TimerTimer();
        QCOMPARE(FakeDevice().calls, (std::vector<std::string>{"OpenDevice", "OpenDevice"}));
    }
};

KELVANE_GUI_TEST_MAIN(FailedReadTest)
#include "FailedReadTest.moc"
