// The main window as a desktop program: tooltips (the window's controls none, the tray icon's
// its own), restoring from a D-Bus tray with a click and from an X11 tray with a double click,
// a stored position off every screen, the EEPROM question at session end, and the library's
// reason for OFF-Line in the status bar.
#include <QGuiApplication>
#include <QHelpEvent>
#include <QScreen>
#include <QStatusBar>
#include <QToolTip>
#include <functional>

#include "../gui/FakeDevice.h"
#include "GuiTestSupport.h"
#include "desktop/OfflineReason.h"
#include "desktop/SessionEnd.h"
#include "desktop/TrayHost.h"
#include "pages/CommonPage.h"
#include "widgets/Trayicon.h"

namespace {

using R = QSystemTrayIcon::ActivationReason;

// A session manager that grants or refuses interaction and records what it was told.
struct FakeSessionRequest : TSessionEndRequest {
    bool allows = false;
    int released = 0;
    int cancelled = 0;
    bool AllowsInteraction() override { return allows; }
    void Release() override { ++released; }
    void Cancel() override { ++cancelled; }
};

bool ToolTipShownFor(QWidget* widget) {
    QToolTip::hideText();
    QHelpEvent event(QEvent::ToolTip, QPoint(2, 2), widget->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(widget, &event);
    return QToolTip::isVisible() && QToolTip::text() == widget->toolTip();
}

}  // namespace

class DesktopWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void toolTipsOnlyOutsideTheWindow();
    void trayActivation_data();
    void trayActivation();
    void positionOffEveryScreen_data();
    void positionOffEveryScreen();
    void sessionEnd_data();
    void sessionEnd();
    void offlineReason();

private:
    std::unique_ptr<TWindowRig> rig_;
};

void DesktopWindowTest::init() {
    FakeDevice().Reset();
    rig_ = std::make_unique<TWindowRig>();
}

void DesktopWindowTest::cleanup() {
    rig_.reset();
    SetTrayHostProbe(nullptr);
}

void DesktopWindowTest::toolTipsOnlyOutsideTheWindow() {
    TMainForm& form = rig_->Open();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // Stands in for the X11 tray icon's own little window, which shows the tooltip "Kelvane".
    QWidget trayWindow;
    trayWindow.setToolTip(QStringLiteral("Kelvane"));
    trayWindow.resize(24, 24);
    trayWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&trayWindow));
    QVERIFY(ToolTipShownFor(&trayWindow));

    // The window's controls show their hints in the status bar, never as tooltips; neither do
    // its popup menus.
    form.CommonPage().edN[0]->setToolTip(QStringLiteral("control tip"));
    QVERIFY(!ToolTipShownFor(form.CommonPage().edN[0]));
    form.Frame().pmSystray->setToolTip(QStringLiteral("menu tip"));
    form.Frame().pmSystray->popup(QPoint(10, 10));
    QVERIFY(!ToolTipShownFor(form.Frame().pmSystray));
    form.Frame().pmSystray->hide();
    QToolTip::hideText();
}

void DesktopWindowTest::trayActivation_data() {
    QTest::addColumn<bool>("dbusTray");
    QTest::addColumn<int>("reason");
    QTest::addColumn<bool>("restores");
    // A D-Bus host reports a left click as a plain activation (Trigger), a middle click as
    // MiddleClick and a right click as Context; it never reports a double click.
    QTest::newRow("dbus click") << true << int(R::Trigger) << true;
    QTest::newRow("dbus context") << true << int(R::Context) << false;
    QTest::newRow("dbus middle") << true << int(R::MiddleClick) << false;
    QTest::newRow("x11 click") << false << int(R::Trigger) << false;
    QTest::newRow("x11 double click") << false << int(R::DoubleClick) << true;
    QTest::newRow("x11 context") << false << int(R::Context) << false;
}

void DesktopWindowTest::trayActivation() {
    QFETCH(bool, dbusTray);
    QFETCH(int, reason);
    SetTrayHostProbe(
        [dbusTray] { return dbusTray ? TTrayHost::StatusNotifier : TTrayHost::XEmbed; });
    TMainForm& form = rig_->Open();
    form.Frame().TrayIcon->SetTrayAvailableProbe([] { return true; });
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.Frame().TrayIcon->Minimize();
    QVERIFY(!form.isVisible());
    FakeDevice().calls.clear();

    form.Frame().TrayIcon->HandleActivation(static_cast<R>(reason));
    form.Frame().pmSystray->hide();
    QTEST(form.isVisible(), "restores");
    // Restoring polls the controller at once.
    QTEST(!FakeDevice().CallsStartingWith("GetT").empty(), "restores");
}

void DesktopWindowTest::positionOffEveryScreen_data() {
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<bool>("kept");
    QTest::newRow("on the screen") << 40 << 30 << true;
    QTest::newRow("a third off the left edge") << -150 << 30 << true;
    QTest::newRow("right of every screen") << 5000 << 30 << false;
    QTest::newRow("below every screen") << 40 << 4000 << false;
    QTest::newRow("far up and left") << -3000 << -2000 << false;
}

void DesktopWindowTest::positionOffEveryScreen() {
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(bool, kept);
    rig_->WriteIni(
        QStringLiteral("[General]\r\nLeft=%1\r\nTop=%2\r\n").arg(left).arg(top).toUtf8());
    TMainForm& form = rig_->Open();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect window(form.pos(), form.size());
    if (kept) {
        QCOMPARE(form.pos(), QPoint(left, top));
    } else {
        QVERIFY2(screen.contains(window),
                 qPrintable(QStringLiteral("window at %1,%2").arg(window.x()).arg(window.y())));
    }
    // The file keeps its form: the position is stored as before, as two integers.
    rig_->Close();
    const QByteArray ini = rig_->ReadIni();
    QVERIFY(ini.contains(QStringLiteral("Left=%1\r\n").arg(window.x()).toUtf8()));
    QVERIFY(ini.contains(QStringLiteral("Top=%1\r\n").arg(window.y()).toUtf8()));
}

void DesktopWindowTest::sessionEnd_data() {
    QTest::addColumn<bool>("interaction");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("closed");
    QTest::newRow("no interaction") << false << 0 << false << false << true;
    QTest::newRow("yes") << true << int(QMessageBox::Yes) << true << true << true;
    QTest::newRow("no") << true << int(QMessageBox::No) << true << false << true;
    QTest::newRow("cancel") << true << int(QMessageBox::Cancel) << true << false << false;
}

void DesktopWindowTest::sessionEnd() {
    QFETCH(bool, interaction);
    QFETCH(int, answer);
    TMainForm& form = rig_->Open();
    form.State().Changed[2] = true;
    if (interaction)
        rig_->dialogs.Answer(answer);
    QSignalSpy closed(&form, &TMainForm::FormClosed);
    FakeSessionRequest request;
    request.allows = interaction;

    EndSession(
        request,
        [&form] {
            bool mayEnd = false;
            Guarded([&] { mayEnd = form.FormCloseQuery(); });
            return mayEnd;
        },
        [&form] { form.CloseWithoutQuestion(); });

    QTEST(!rig_->dialogs.shown.empty(), "asked");
    if (!rig_->dialogs.shown.empty())
        QCOMPARE(rig_->dialogs.shown.front().text,
                 QStringLiteral("Save new parameters to EEPROM?"));
    QTEST(FakeDevice().CallsStartingWith("SavePar") == std::vector<std::string>{"SavePar(2)"},
          "saved");
    QTEST(closed.count() == 1, "closed");
    QCOMPARE(request.released, interaction ? 1 : 0);
    QCOMPARE(request.cancelled, answer == int(QMessageBox::Cancel) ? 1 : 0);
}

void DesktopWindowTest::offlineReason() {
    const std::string denied =
        "No controller found: /dev/ttyUSB0: permission denied (install the udev rule or join "
        "the dialout group).";
    FakeDevice().openResult = false;
    FakeDevice().openFailureText = denied;
    TMainForm& form = rig_->Open();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.Frame().StatusPanels[0]->text(), QStringLiteral("OFF-Line"));
    TOfflineReasonPanel* panel = OfflineReasonPanel(form.Frame().StatusBar);
    QVERIFY(panel != nullptr);
    QCOMPARE(panel->Reason(), QString::fromStdString(denied));
    QVERIFY(!panel->isHidden());
    // Beside "OFF-Line": the panel follows the first one.
    QTRY_VERIFY(panel->x() > form.Frame().StatusPanels[0]->x());
    QVERIFY(panel->x() < form.Frame().StatusPanels[1]->x());
    // Cut to its room; the whole reason is the panel's hint, shown when pointed at.
    QVERIFY(panel->text().endsWith(QChar(0x2026)));
    QCOMPARE(TMainForm::HintOf(panel),
             QStringLiteral("OFF-Line|") + QString::fromStdString(denied));

    // The reason changes with the library's answer.
    FakeDevice().openFailureText = "No controller found: /dev/ttyUSB0: in use by another program.";
    form.TimerTimer();
    QCOMPARE(panel->Reason(), QStringLiteral("No controller found: /dev/ttyUSB0: in use by "
                                             "another program."));

    // On-line the reason goes away, and the status bar is as it always was.
    FakeDevice().openResult = true;
    form.TimerTimer();
    QCOMPARE(form.Frame().StatusPanels[0]->text(), QStringLiteral("ON-Line"));
    QVERIFY(panel->isHidden());
}

KELVANE_GUI_TEST_MAIN(DesktopWindowTest)
#include "DesktopWindowTest.moc"
