// The window frame over a scripted device: fixed size and pixel positions, names and tags, the
// actions and menus, hints in the third status panel instead of tooltips, and the About box.
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolTip>

#include "ActionList.h"
#include "FakeDevice.h"
#include "GuiTestSupport.h"
#include "LayoutHelpers.h"
#include "VirtualListModel.h"
#include "core/Version.h"
#include "pages/CommonPage.h"
#include "pages/PresetsPage.h"
#include "widgets/Trayicon.h"

class FrameTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FakeDevice().Reset(); }

    void fixedSizeFrame() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        QCOMPARE(form.windowTitle(), QStringLiteral("Kelvane"));
        QCOMPARE(form.centralWidget()->size(), QSize(452, 416 - 21));
        QCOMPARE(form.Frame().StatusBar->height(), 21);
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QCOMPARE(form.height(), form.menuBar()->sizeHint().height() + 416);
        QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);
        QCOMPARE(form.Frame().PageControl->geometry(), QRect(5, 5, 442, 388));
        QCOMPARE(form.Frame().PageControl->count(), 4);
        const QStringList captions = {"Common", "Channel", "History", "Presets"};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(form.Frame().PageControl->tabText(i), captions[i]);
        QCOMPARE(form.Frame().StatusPanels[0]->width(), 64);
        QCOMPARE(form.Frame().StatusPanels[1]->width(), 100);
    }

    void controlsSitAtTheirPixels_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("Panel2") << "Panel2" << QRect(8, 8, 417, 121);
        QTest::newRow("edN1") << "edN1" << QRect(20, 169, 173, 21);
        QTest::newRow("edT3") << "edT3" << QRect(204, 225, 42, 21);
        QTest::newRow("edVx6") << "edVx6" << QRect(268, 309, 42, 21);
        QTest::newRow("edV2") << "edV2" << QRect(340, 197, 42, 21);
        QTest::newRow("btCh4") << "btCh4" << QRect(403, 253, 21, 21);
        QTest::newRow("cbCh") << "cbCh" << QRect(73, 8, 350, 21);
        QTest::newRow("fePx") << "fePx" << QRect(364, 40, 42, 21);
        QTest::newRow("GroupBox1") << "GroupBox1" << QRect(8, 32, 143, 201);
        QTest::newRow("feTmax") << "feTmax" << QRect(64, 81, 49, 21);
        QTest::newRow("GroupBox2") << "GroupBox2" << QRect(8, 236, 143, 113);
        QTest::newRow("Panel1") << "Panel1" << QRect(158, 69, 264, 244);
        QTest::newRow("pbGraph") << "pbGraph" << QRect(1, 1, 262, 242);
        QTest::newRow("btSave") << "btSave" << QRect(166, 323, 121, 25);
        QTest::newRow("btRecall") << "btRecall" << QRect(294, 323, 121, 25);
        QTest::newRow("pScope") << "pScope" << QRect(8, 8, 418, 225);
        QTest::newRow("lvHistory") << "lvHistory" << QRect(8, 240, 418, 112);
        QTest::newRow("lvPresets") << "lvPresets" << QRect(8, 8, 335, 344);
        QTest::newRow("bAdd") << "bAdd" << QRect(351, 8, 75, 25);
        QTest::newRow("bEdit") << "bEdit" << QRect(351, 40, 75, 25);
        QTest::newRow("bActive") << "bActive" << QRect(351, 72, 75, 25);
        QTest::newRow("bDelete") << "bDelete" << QRect(351, 327, 75, 25);
    }

    void controlsSitAtTheirPixels() {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        TWindowRig rig;
        TMainForm& form = rig.Open();
        auto* widget = form.findChild<QWidget*>(name);
        QVERIFY2(widget != nullptr, qPrintable(name));
        QCOMPARE(widget->geometry(), geometry);
    }

    void familiesCarryTheirTags() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(TagOf(form.CommonPage().edN[i]), i);
            QCOMPARE(TagOf(form.CommonPage().btCh[i]), i);
            QCOMPARE(form.CommonPage().edN[i]->objectName(), QStringLiteral("edN%1").arg(i + 1));
        }
    }

    void actionsAndMenus_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QKeySequence>("shortcut");
        QTest::addColumn<QString>("hint");
        QTest::newRow("add") << "acPresetsAdd"
                             << "Presets"
                             << "Add" << QKeySequence(Qt::Key_Insert)
                             << "Add preset|Adds new preset";
        QTest::newRow("delete") << "acPresetsDelete"
                                << "Presets"
                                << "Delete" << QKeySequence(Qt::Key_Delete)
                                << "Delete preset|Deletes selected preset";
        QTest::newRow("active") << "acPresetsActive"
                                << "Presets"
                                << "Active" << QKeySequence(Qt::Key_Enter)
                                << "Active preset|Makes selected preset active";
        QTest::newRow("edit") << "acPresetsEdit"
                              << "Presets"
                              << "Edit" << QKeySequence(Qt::Key_F2)
                              << "Edit preset|Edits selected preset";
        QTest::newRow("settings") << "acHistorySettings"
                                  << "Histrory"
                                  << "Settings" << QKeySequence()
                                  << "Settings channel|Settings channel";
        QTest::newRow("exit") << "acExit"
                              << "File"
                              << "E&xit" << QKeySequence(Qt::ALT | Qt::Key_X)
                              << "Exit|Quits the application";
        QTest::newRow("about") << "acAbout"
                               << "File"
                               << "About" << QKeySequence(Qt::Key_F1)
                               << "About|About Kelvane software";
        QTest::newRow("colour") << "acHistoryColorChange"
                                << "Histrory"
                                << "Color Change..." << QKeySequence(Qt::Key_Return)
                                << "Color Change...|Color Change";
    }

    void actionsAndMenus() {
        QFETCH(QString, name);
        QFETCH(QString, category);
        QFETCH(QString, caption);
        QFETCH(QKeySequence, shortcut);
        QFETCH(QString, hint);
        TWindowRig rig;
        TMainForm& form = rig.Open();
        auto* action = form.findChild<TAction*>(name);
        QVERIFY(action != nullptr);
        QCOMPARE(action->Category(), category);
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->shortcut(), shortcut);
        QCOMPARE(action->Hint(), hint);
    }

    void menuItems() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        QCOMPARE(form.Frame().mnFile->title(), QStringLiteral("&File"));
        // Export history..., Record to file..., -, Alarm notifications, Watch in tray, -, Exit.
        const QList<QAction*> file = form.Frame().mnFile->actions();
        QCOMPARE(file.size(), 7);
        QCOMPARE(file[0]->text(), QStringLiteral("Export history..."));
        QCOMPARE(file[1]->text(), QStringLiteral("Record to file..."));
        QVERIFY(file[2]->isSeparator() && file[5]->isSeparator());
        QCOMPARE(file[3]->text(), QStringLiteral("Alarm notifications"));
        QCOMPARE(file[4]->text(), QStringLiteral("Watch in tray"));
        QCOMPARE(file[6], static_cast<QAction*>(form.Frame().acExit));
        QCOMPARE(form.Frame().mnHelp->title(), QStringLiteral("&Help"));
        QCOMPARE(form.Frame().mnHelp->actions(), QList<QAction*>{form.Frame().acAbout});
        const QList<QAction*> tray = form.Frame().pmSystray->actions();
        QCOMPARE(tray.size(), 8);
        QCOMPARE(tray[0]->text(), QStringLiteral("Launch Kelvane™"));
        QCOMPARE(form.Frame().pmSystray->defaultAction(), tray[0]);
        QVERIFY(tray[1]->isSeparator() && tray[3]->isSeparator());
        QCOMPARE(tray[2]->menu(), form.Frame().miPresets);
        QCOMPARE(tray[4]->text(), QStringLiteral("Watch in tray"));
        QCOMPARE(tray[5]->text(), QStringLiteral("Alarm notifications"));
        QVERIFY(tray[6]->isSeparator());
        QCOMPARE(tray[7], static_cast<QAction*>(form.Frame().acExit));
        QCOMPARE(form.Frame().pmHistory->defaultAction(), form.Frame().ColorChange1);
        QCOMPARE(form.Frame().ColorChange1->text(), QStringLiteral("Change color..."));
        QCOMPARE(form.Frame().Property1->text(), QStringLiteral("Channel settings"));
        QCOMPARE(form.Frame().TrayIcon->Hint(), QStringLiteral("Kelvane"));
        QCOMPARE(form.Frame().TrayIcon->PopupMenu(), form.Frame().pmSystray);
        QCOMPARE(form.Frame().TrayIcon->RestoreOn(), TTrayIconMessage::imDoubleClick);
        QCOMPARE(form.Frame().TrayIcon->PopupMenuOn(), TTrayIconMessage::imRightClickUp);
    }

    void hintsGoToTheThirdPanel() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        form.ApplicationHint(QStringLiteral("Short|Long part|more"));
        QCOMPARE(form.Frame().StatusPanels[2]->text(), QStringLiteral("Long part|more"));
        form.ApplicationHint(QStringLiteral("No bar"));
        QCOMPARE(form.Frame().StatusPanels[2]->text(), QStringLiteral("No bar"));
        QCOMPARE(TMainForm::HintOf(form.CommonPage().edVC[2]),
                 QStringLiteral("Current fan supply voltage for channel 3|Current fan supply "
                                "voltage for channel 3"));
        // A control without a hint of its own shows its page's.
        QCOMPARE(LongHint(TMainForm::HintOf(form.CommonPage().Panel2)),
                 QStringLiteral("Displays common parameters"));
    }

    void tabHintFollowsThePointer() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        form.show();
        QTabBar* bar = form.Frame().PageControl->tabBar();
        const QPoint onHistory = bar->mapTo(form.Frame().PageControl, bar->tabRect(2).center());
        form.PageControlMouseMove(onHistory.x(), onHistory.y());
        QCOMPARE(LongHint(TMainForm::HintOf(bar)), QStringLiteral("Shows history grahps"));
        const QPoint pastTabs =
            bar->mapTo(form.Frame().PageControl, bar->tabRect(3).topRight()) + QPoint(20, 2);
        form.PageControlMouseMove(pastTabs.x(), pastTabs.y());
        QCOMPARE(TMainForm::HintOf(bar), QString());
    }

    void noTooltipsAreShown() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.CommonPage().btCh[0]->setToolTip(QStringLiteral("should never show"));
        QHelpEvent help(QEvent::ToolTip, QPoint(3, 3),
                        form.CommonPage().btCh[0]->mapToGlobal(QPoint(3, 3)));
        QApplication::sendEvent(form.CommonPage().btCh[0], &help);
        QVERIFY(!QToolTip::isVisible());
    }

    void aboutBox() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        rig.dialogs.Answer(QMessageBox::Ok);
        form.Frame().acAbout->trigger();
        QCOMPARE(rig.dialogs.shown.size(), size_t(1));
        const TShownDialog& box = rig.dialogs.shown[0];
        QCOMPARE(box.title, QStringLiteral("Information"));
        QCOMPARE(box.icon, QMessageBox::Information);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(box.text, QStringLiteral("Kelvane QV-725 control software\n\nVersion ") +
                               QString::fromStdString(GetVersion()) +
                               QStringLiteral("\n\ne-mail: support@kelvane.example"));
        QCOMPARE(form.CommonPage().lVersion->text(), QStringLiteral("Version 1.0.0.1"));
    }

    void presetRulesNeedThePresetsPage() {
        TWindowRig rig;
        TMainForm& form = rig.Open();
        form.Frame().ActionList1->UpdateAll();
        for (TAction* action : {form.Frame().acPresetsAdd, form.Frame().acPresetsEdit,
                                form.Frame().acPresetsActive, form.Frame().acPresetsDelete})
            QVERIFY(!action->isEnabled());
        QVERIFY(!form.PresetsPage().bAdd->isEnabled());
        form.Frame().PageControl->setCurrentWidget(form.Frame().tsPresets);
        form.Frame().ActionList1->UpdateAll();
        QVERIFY(form.Frame().acPresetsAdd->isEnabled());
        QVERIFY(form.PresetsPage().bAdd->isEnabled());
        QVERIFY(!form.Frame().acPresetsEdit->isEnabled());
        QCOMPARE(form.PresetsPage().PresetsModel->rowCount(), 1);
    }
};

KELVANE_GUI_TEST_MAIN(FrameTest)
#include "FrameTest.moc"
