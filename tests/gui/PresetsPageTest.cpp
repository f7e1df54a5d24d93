// The Presets page and the tray's preset submenu over a scripted device: adding, renaming and
// deleting presets through the actions and their dialogs, the bold active row, making a preset
// active (exactly six SetM requests), the enable rules and keys, the close query afterwards, and
// the settings file written at every change of the presets.
#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QTreeView>

#include "ActionList.h"
#include "FakeDevice.h"
#include "GuiTestSupport.h"
#include "InputQuery.h"
#include "PaintBox.h"
#include "VirtualListModel.h"
#include "core/IniFile.h"
#include "core/Params.h"
#include "core/PresetsFile.h"
#include "pages/ChannelPage.h"
#include "pages/CommonPage.h"
#include "pages/PresetsPage.h"
#include "widgets/CurveGraph.h"
#include "widgets/Floatedit.h"

namespace {

using TSetM = std::array<int32_t, 9>;

// A record that differs per preset and channel, so each SetM shows which one it came from.
TChannelParams Record(int preset, int channel) {
    TChannelParams record;
    record.Boost = channel % 2;
    record.Auto = preset % 2;
    record.Ta = 1;
    record.T_min = 100 * preset + channel;
    record.PWM_min = 10 + channel;
    record.T_max = 500 + 10 * preset + channel;
    record.PWM_max = 200 + channel;
    record.T_alarm = 700 + channel;
    record.V_alarm = 1000 * preset + channel;
    record.PWM = 20 * channel + preset;
    return record;
}

TSetM Sent(int channel, const TChannelParams& r) {
    return {channel, r.Mode(), r.T_min, r.PWM_min, r.T_max, r.PWM_max, r.T_alarm, r.V_alarm, r.PWM};
}

// Opens the window with "Default" (active) and the presets `names` after it, the Presets page in
// front, and forgets the start-up's calls.
TMainForm& OpenWithPresets(TWindowRig& rig, const QStringList& names) {
    FakeDevice().Reset();
    TMainForm& form = rig.Open();
    for (int i = 0; i < names.size(); ++i) {
        TParamsItem& preset = form.State().Params->AddNew();
        preset.Name = names[i].toStdString();
        for (int c = 0; c < 6; ++c)
            preset.Channels[c] = Record(i + 1, c);
    }
    form.PresetsPage().PresetsModel->SetRowCount(form.State().Params->Count());
    form.Frame().PageControl->setCurrentWidget(form.Frame().tsPresets);
    form.Frame().ActionList1->UpdateAll();
    FakeDevice().calls.clear();
    FakeDevice().setM.clear();
    return form;
}

void SelectRow(TMainForm& form, int row) {
    form.PresetsPage().lvPresets->selectionModel()->setCurrentIndex(
        form.PresetsPage().PresetsModel->index(row, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    form.Frame().ActionList1->UpdateAll();
}

QString Cell(TMainForm& form, int row, int column) {
    return form.PresetsPage()
        .PresetsModel->data(form.PresetsPage().PresetsModel->index(row, column), Qt::DisplayRole)
        .toString();
}

// The rows drawn in bold.
QList<int> BoldRows(TMainForm& form) {
    QList<int> rows;
    for (int row = 0; row < form.PresetsPage().PresetsModel->rowCount(); ++row) {
        const QVariant font = form.PresetsPage().PresetsModel->data(
            form.PresetsPage().PresetsModel->index(row, 1), Qt::FontRole);
        if (font.isValid() && font.value<QFont>().bold())
            rows << row;
    }
    return rows;
}

// The "Name" column of every row; the "№" column must run 1 to Count beside it.
QStringList Names(TMainForm& form) {
    QStringList names;
    for (int row = 0; row < form.PresetsPage().PresetsModel->rowCount(); ++row) {
        if (Cell(form, row, 0) != QString::number(row + 1))
            names << QStringLiteral("<row %1 numbered %2>").arg(row).arg(Cell(form, row, 0));
        names << Cell(form, row, 1);
    }
    return names;
}

std::vector<std::string> SixSetM() {
    return {"SetM(0)", "SetM(1)", "SetM(2)", "SetM(3)", "SetM(4)", "SetM(5)"};
}

// Answers the text-input dialog with `text` (OK), remembering what it showed.
struct TQueryAnswer {
    QString title, prompt, text, selected;
    int maxLength = 0;
    bool wordWrap = false, okDefault = false;
    QString okText, cancelText;
};

TScriptedDialogs::TAnswer AnswerQuery(TQueryAnswer& seen, const QString& text, bool ok = true) {
    return [&seen, text, ok](QDialog& dialog) {
        auto* query = qobject_cast<TInputQueryDialog*>(&dialog);
        if (query == nullptr)
            return int(QDialog::Rejected);
        seen.title = query->windowTitle();
        seen.prompt = query->Prompt()->text();
        seen.wordWrap = query->Prompt()->wordWrap();
        seen.text = query->Edit()->text();
        seen.selected = query->Edit()->selectedText();
        seen.maxLength = query->Edit()->maxLength();
        seen.okDefault = query->OkButton()->isDefault();
        seen.okText = query->OkButton()->text();
        seen.cancelText = query->CancelButton()->text();
        query->Edit()->setText(text);
        return int(ok ? QDialog::Accepted : QDialog::Rejected);
    };
}

}  // namespace

class PresetsPageTest : public QObject {
    Q_OBJECT

private slots:
    void addProposesTheNextNameAndSelectsTheNewRow() {
        TWindowRig rig;
        TMainForm& form = OpenWithPresets(rig, {"A", "B"});
        TQueryAnswer seen;
        rig.dialogs.Answer(AnswerQuery(seen, QStringLiteral("Quiet")));
        form.Frame().acPresetsAdd->trigger();
        QCOMPARE(seen.title, QStringLiteral("Add preset"));
        QCOMPARE(seen.prompt, QStringLiteral("Name:"));
        QVERIFY(seen.wordWrap);
        QCOMPARE(seen.text, QStringLiteral("Name 4"));
        QCOMPARE(seen.selected, QStringLiteral("Name 4"));
        QCOMPARE(seen.maxLength, 255);
        QVERIFY(seen.okDefault);
        QCOMPARE(seen.okText, QStringLiteral("OK"));
        QCOMPARE(seen.cancelText, QStringLiteral("Cancel"));

        QCOMPARE(Names(form), (QStringList{"Default", "A", "B", "Quiet"}));
        QCOMPARE(form.PresetsPage().SelectedPresetRow(), 3);
        QCOMPARE(BoldRows(form), QList<int>{0});
        QCOMPARE(form.State().Params->Active(), &form.State().Params->Items(0));
        const TParamsItem empty;
        QCOMPARE(form.State().Params->Items(3).Channels, empty.Channels);
        QVERIFY(FakeDevice().calls.empty());
        QCOMPARE(form.Frame().StatusPanels[1]->text(), QStringLiteral("Default"));
    }

    void addCancelledChangesNothing() {
        TWindowRig rig;
        TMainForm& form = OpenWithPresets(rig, {});
        SelectRow(form, 0);
        TQueryAnswer seen;
        rig.dialogs.Answer(AnswerQuery(seen, QStringLiteral("never"), false));
        form.Frame().acPresetsAdd->trigger();
        QCOMPARE(seen.text, QStringLiteral("Name 2"));
        QCOMPARE(Names(form), QStringList{"Default"});
        QCOMPARE(form.PresetsPage().SelectedPresetRow(), 0);
    }

    void addTakesEmptyAndRepeatedNames() {
        TWindowRig rig;
        TMainForm& form = OpenWithPresets(rig, {"A"});
        TQueryAnswer seen;
        rig.dialogs.Answer(AnswerQuery(seen, QString()));
        rig.dialogs.Answer(AnswerQuery(seen, QStringLiteral("A")));
        form.Frame().acPresetsAdd->trigger();
        form.Frame().acPresetsAdd->trigger();
        QCOMPARE(seen.text, QStringLiteral("Name 4"));
        QCOMPARE(Names(form), (QStringList{"Default", "A", "", "A"}));
    }

    void editRenamesOnlyTheName() {
        TWindowRig rig;
        TMainForm& form = OpenWithPresets(rig, {"A"});
        SelectRow(form, 0);  // the active preset may be renamed
        QVERIFY(form.Frame().acPresetsEdit->isEnabled());
        TQueryAnswer seen;
        rig.dialogs.Answer(AnswerQuery(seen, QStringLiteral("Home & away")));
        form.Frame().acPresetsEdit->trigger();
        QCOMPARE(seen.title, QString());
        QCOMPARE(seen.prompt, QStringLiteral("Name:"));
        QCOMPARE(seen.text, QStringLiteral("Default"));
        QCOMPARE(seen.selected, QStringLiteral("Default"));
        QCOMPARE(Names(form), (QStringList{"Home & away", "A"}));
        QCOMPARE(BoldRows(form), QList<int>{0});
        // The status panel is not touched by a rename.
        QCOMPARE(form.Frame().StatusPanels[1]->text(), QStringLiteral("Default"));
        QVERIFY(FakeDevice().calls.empty());

        SelectRow(form, 1);
        rig.dialogs.Answer(AnswerQuery(seen, QStringLiteral("ignored"), false));
        form.Frame().acPresetsEdit->trigger();
        QCOMPARE(seen.text, QStringLiteral("A"));
        QCOMPARE(Names(form), (QStringList{"Home & away", "A"}));
    }

    void aLongStoredNameIsNotCut() {
        TWindowRig rig;
        const QString longName(300, QLatin1Char('x'));
        TMainForm& form = OpenWithPresets(rig, {longName});
        SelectRow(form, 1);
        TQueryAnswer seen;
        rig.dialogs.Answer([&](QDialog& dialog) {
            auto* query = qobject_cast<TInputQueryDialog*>(&dialog);
            seen.text = query->Edit()->text();
            return int(QDialog::Accepted);
        });
        form.Frame().acPresetsEdit->trigger();
        QCOMPARE(seen.text, longName);
        QCOMPARE(QString::fromStdString(form.State().Params->Items(1).Name), longName);
    }

    void deleteAsksAndOnlyYesDeletes_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("Yes") << int(QMessageBox::Yes) << QStringList{"Default", "B"};
        QTest::newRow("No") << int(QMessageBox::No) << QStringList{"Default", "A", "B"};
        QTest::newRow("Cancel") << int(QMessageBox::Cancel) << QStringList{"Default", "A", "B"};
    }

    void deleteAsksAndOnlyYesDeletes() {
        QFETCH(int, answer);
        QFETCH(QStringList, names);
        TWindowRig rig;
        TMainForm& form = OpenWithPresets(rig, {"A", "B"});
        SelectRow(form, 1);
        rig.dialogs.Answer(answer);
        form.Frame().acPresetsDelete->trigger();
        QCOMPARE(rig.dialogs.shown.size(), size_t(1));
        const TShownDialog& box = rig.dialogs.shown[0];
        QCOMPARE(box.title, QStringLiteral("Message"));
        QCOMPARE(box.text, QStringLiteral("Delete?"));
        QCOMPARE(box.icon, QMessageBox::Question);
        QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(Names(form), names);
        QCOMPARE(form.State().Params->Count(), int(names.size()));
        QCOMPARE(BoldRows(form), QList<int>{0});
        QVERIFY(FakeDevice().calls.empty());
    }

    void deletingAboveTheActiveRowMovesTheBoldRowUp() {
        TWindowRig rig;
        TMainForm& form = OpenWithPresets(rig, {"A", "B", "C"});
        SelectRow(form, 2);
        form.Frame().acPresetsActive->trigger();
        QCOMPARE(BoldRows(form), QList<int>{2});
        SelectRow(form, 1);
        rig.dialogs.Answer(QMessageBox::Yes);
        form.Frame().acPresetsDelete->trigger();
        QCOMPARE(Names(form), (QStringList{"Default", "B", "C"}));
        QCOMPARE(BoldRows(form), QList<int>{1});
        QCOMPARE(form.State().Params->Active()->Name, std::string("B"));
    }

    void theActivePresetCannotBeDeletedOrActivatedAgain() {
        TWindowRig rig;
        TMainForm& form = OpenWithPresets(rig, {"A"});
        SelectRow(form, 0);
        QVERIFY(form.Frame().acPresetsEdit->isEnabled());
        QVERIFY(!form.Frame().acPresetsActive->isEnabled());
        QVERIFY(!form.Frame().acPresetsDelete->isEnabled());
        QVERIFY(!form.PresetsPage().bDelete->isEnabled() &&
                !form.PresetsPage().bActive->isEnabled());
        rig.dialogs.Answer(QMessageBox::Yes);
        form.Frame().acPresetsDelete->trigger();
        form.Frame().acPresetsActive->trigger();
        QVERIFY(rig.dialogs.shown.empty());
        QCOMPARE(form.State().Params->Count(), 2);
        QVERIFY(FakeDevice().calls.empty());
        SelectRow(form, 1);
        QVERIFY(form.Frame().acPresetsActive->isEnabled() &&
                form.Frame().acPresetsDelete->isEnabled());
        // Nothing selected: only Add.
        form.PresetsPage().lvPresets->selectionModel()->clearSelection();
        form.Frame().ActionList1->UpdateAll();
        QVERIFY(form.Frame().acPresetsAdd->isEnabled());
        QVERIFY(!form.Frame().acPresetsEdit->isEnabled() &&
                !form.Frame().acPresetsActive->isEnabled());
    }

    void activationSendsExactlySixRecords_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("action") << "action";
        QTest::newRow("button") << "button";
        QTest::newRow("double click") << "double click";
    }

    void activationSendsExactlySixRecords() {
        QFETCH(QString, how);
        TWindowRig rig;
        TMainForm& form = OpenWithPresets(rig, {"A", "Night"});
        SelectRow(form, 2);
        if (how == "action") {
            form.Frame().acPresetsActive->trigger();
        } else if (how == "button") {
            form.PresetsPage().bActive->click();
        } else {
            emit form.PresetsPage().lvPresets->doubleClicked(
                form.PresetsPage().PresetsModel->index(2, 1));
        }
        QCOMPARE(FakeDevice().calls, SixSetM());
        std::vector<TSetM> expected;
        for (int c = 0; c < 6; ++c)
            expected.push_back(Sent(c, Record(2, c)));
        QCOMPARE(FakeDevice().setM, expected);
        QCOMPARE(form.State().Params->Active(), &form.State().Params->Items(2));
        QCOMPARE(form.State().Changed, (std::array<bool, 6>{true, true, true, true, true, true}));
        QCOMPARE(form.State().Pwm, (std::array<int32_t, 6>{2, 22, 42, 62, 82, 102}));
        QCOMPARE(form.Frame().StatusPanels[1]->text(), QStringLiteral("Night"));
        QCOMPARE(BoldRows(form), QList<int>{2});
        // The Channel page shows the selected channel's new record.
        QCOMPARE(form.ChannelPage().feTmin->text(), QStringLiteral("20.0"));
        QCOMPARE(form.ChannelPage().feVa->text(), QStringLiteral("2000"));
        QVERIFY(!form.ChannelPage().cbAuto->isChecked() && form.ChannelPage().cbTa->isChecked());
        QVERIFY(rig.dialogs.shown.empty());

        // Closing now asks whether to store the parameters in EEPROM.
        rig.dialogs.Answer(QMessageBox::Cancel);
        QVERIFY(!form.FormCloseQuery());
        QCOMPARE(rig.dialogs.shown.back().text, QStringLiteral("Save new parameters to EEPROM?"));
    }

    void aNewPresetSendsZeros() {
        TWindowRig rig;
        TMainForm& form = OpenWithPresets(rig, {});
        TQueryAnswer seen;
        rig.dialogs.Answer(AnswerQuery(seen, QStringLiteral("Empty")));
        form.Frame().acPresetsAdd->trigger();
        QCOMPARE(form.PresetsPage().SelectedPresetRow(), 1);
        form.Frame().ActionList1->UpdateAll();  // as when the program goes idle
        form.Frame().acPresetsActive->trigger();
        std::vector<TSetM> expected;
        for (int c = 0; c < 6; ++c)
            expected.push_back({c, 0, 0, 0, 0, 0, 0, 0, 0});
        QCOMPARE(FakeDevice().setM, expected);
        QCOMPARE(form.Frame().StatusPanels[1]->text(), QStringLiteral("Empty"));
    }

    void aFailureEndsTheActivationThere() {
        TWindowRig rig;
        TMainForm& form = OpenWithPresets(rig, {"A"});
        FakeDevice().failures["SetM(2)"] = 3;  // busy at every attempt
        SelectRow(form, 1);
        form.Frame().acPresetsActive->trigger();
        QCOMPARE(FakeDevice().calls,
                 (std::vector<std::string>{"SetM(0)", "SetM(1)", "SetM(2)", "SetM(2)", "SetM(2)"}));
        QCOMPARE(rig.dialogs.shown.size(), size_t(1));
        QCOMPARE(rig.dialogs.shown[0].text, QStringLiteral("Set channel mode: device busy."));
        QCOMPARE(form.State().Changed,
                 (std::array<bool, 6>{true, true, false, false, false, false}));
        QCOMPARE(form.State().Params->Active(), &form.State().Params->Items(1));
        QCOMPARE(form.Frame().StatusPanels[1]->text(), QStringLiteral("Default"));
        QCOMPARE(BoldRows(form), QList<int>{1});
        // The preset's records are what they were.
        for (int c = 0; c < 6; ++c)
            QCOMPARE(form.State().Params->Items(1).Channels[c], Record(1, c));
    }

    void trayMenuListsThePresets() {
        TWindowRig rig;
        TMainForm& form = OpenWithPresets(rig, {"A", "Fast & loud"});
        form.Frame().pmSystray->popup(QPoint(10, 10));
        const QList<QAction*> items = form.Frame().miPresets->actions();
        QCOMPARE(items.size(), 3);
        QStringList captions;
        for (int i = 0; i < items.size(); ++i) {
            captions << items[i]->text();
            QCOMPARE(items[i]->data().toInt(), i);
            QVERIFY(items[i]->isCheckable());
            QCOMPARE(items[i]->isChecked(), i == 0);
            QVERIFY(items[i]->actionGroup() != nullptr);
            QVERIFY(items[i]->actionGroup()->isExclusive());
            QCOMPARE(items[i]->actionGroup(), items[0]->actionGroup());
            QCOMPARE(items[i]->property("hint").toString(),
                     QStringLiteral("Active preset|Makes selected preset active"));
        }
        QCOMPARE(captions, (QStringList{"Default", "A", "Fast && loud"}));
        // The marked item does nothing.
        items[0]->trigger();
        QVERIFY(FakeDevice().calls.empty());
        // Another item activates its preset; with the Presets page shown the bold row moves.
        items[2]->trigger();
        form.Frame().pmSystray->hide();
        QCOMPARE(FakeDevice().calls, SixSetM());
        QCOMPARE(FakeDevice().setM.back(), Sent(5, Record(2, 5)));
        QCOMPARE(form.State().Params->Active(), &form.State().Params->Items(2));
        QCOMPARE(form.Frame().StatusPanels[1]->text(), QStringLiteral("Fast & loud"));
        QCOMPARE(BoldRows(form), QList<int>{2});
        QCOMPARE(form.State().Changed, (std::array<bool, 6>{true, true, true, true, true, true}));

        // Rebuilt at the next opening: same items, the mark on the new active preset.
        form.Frame().pmSystray->popup(QPoint(10, 10));
        const QList<QAction*> again = form.Frame().miPresets->actions();
        QCOMPARE(again.size(), 3);
        QVERIFY(!again[0]->isChecked() && !again[1]->isChecked() && again[2]->isChecked());
        form.Frame().pmSystray->hide();
    }

    void trayActivationRedrawsTheChannelPage() {
        TWindowRig rig;
        TMainForm& form = OpenWithPresets(rig, {"A"});
        form.Frame().PageControl->setCurrentWidget(form.Frame().tsChannel);
        form.State().Temperature[0] = 420;
        form.Frame().pmSystray->popup(QPoint(10, 10));
        form.Frame().miPresets->actions()[1]->trigger();
        form.Frame().pmSystray->hide();
        QCOMPARE(FakeDevice().calls, SixSetM());
        QCOMPARE(form.ChannelPage().feTmax->text(), QStringLiteral("51.0"));
        QCOMPARE(form.ChannelPage().pbGraph->CursorT(), 420);
        QCOMPARE(form.ChannelPage().pbGraph->CursorPwm(), Record(1, 0).PWM);
        const QImage drawn = form.ChannelPage().pbGraph->Canvas().copy();
        form.ChannelPage().DrawGraphPicture(0);
        QCOMPARE(drawn, form.ChannelPage().pbGraph->Canvas());
    }

    void presetChangesAreWrittenAtOnce_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("active");
        QTest::newRow("add") << "add" << QStringList{"Default", "A", "B", "Night"} << 0;
        QTest::newRow("rename") << "rename" << QStringList{"Default", "Night", "B"} << 0;
        QTest::newRow("delete") << "delete" << QStringList{"Default", "B"} << 0;
        QTest::newRow("activate") << "activate" << QStringList{"Default", "A", "B"} << 2;
        QTest::newRow("activate from the tray") << "tray" << QStringList{"Default", "A", "B"} << 1;
    }

    void presetChangesAreWrittenAtOnce() {
        QFETCH(QString, change);
        QFETCH(QStringList, names);
        QFETCH(int, active);
        TWindowRig rig;
        TMainForm& form = OpenWithPresets(rig, {"A", "B"});
        // A name typed before the change goes with it: the file is one picture of this moment.
        form.CommonPage().edN[1]->setText(QStringLiteral("Radiator"));
        QVERIFY(!rig.IniExists());
        TQueryAnswer seen;
        if (change == "add") {
            rig.dialogs.Answer(AnswerQuery(seen, QStringLiteral("Night")));
            form.Frame().acPresetsAdd->trigger();
        } else if (change == "rename") {
            SelectRow(form, 1);
            rig.dialogs.Answer(AnswerQuery(seen, QStringLiteral("Night")));
            form.Frame().acPresetsEdit->trigger();
        } else if (change == "delete") {
            SelectRow(form, 1);
            rig.dialogs.Answer(QMessageBox::Yes);
            form.Frame().acPresetsDelete->trigger();
        } else if (change == "activate") {
            SelectRow(form, 2);
            form.Frame().acPresetsActive->trigger();
        } else {
            form.Frame().pmSystray->popup(QPoint(10, 10));
            form.Frame().miPresets->actions()[1]->trigger();
            form.Frame().pmSystray->hide();
        }
        QCOMPARE(rig.dialogs.unanswered, 0);

        // What a crash or a kill now would leave: the presets as they are, with the rest.
        const QByteArray written = rig.ReadIni();
        TIniFile ini;
        ini.LoadFromText(written.toStdString());
        TParams stored;
        QVERIFY(LoadPresets(ini, stored));
        QStringList storedNames;
        for (int i = 0; i < stored.Count(); ++i)
            storedNames << QString::fromStdString(stored.Items(i).Name);
        QCOMPARE(storedNames, names);
        QCOMPARE(stored.ActiveIndex(), active);
        for (int c = 0; c < 6; ++c)
            QCOMPARE(stored.Items(names.size() - 1).Channels[c],
                     change == "add" ? TChannelParams{} : Record(2, c));
        QCOMPARE(ReadWindowSettings(ini, {}).ChannelNames[1], std::string("Radiator"));
        // Nothing else changes until the exit, which writes the same file.
        rig.Close();
        QVERIFY2(rig.ReadIni() == written, "the exit wrote another file than the preset change");
    }

    void theActiveShortcutIsShownAsEnter() {
        TWindowRig rig;
        TMainForm& form = OpenWithPresets(rig, {"A", "B"});
        QCOMPARE(form.Frame().acPresetsActive->shortcut().toString(QKeySequence::NativeText),
                 QStringLiteral("Enter"));
        // Both Enter keys activate: the keypad's and the main keyboard's (Return).
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.PresetsPage().lvPresets->setFocus();
        SelectRow(form, 1);
        QTest::keyClick(form.PresetsPage().lvPresets, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(form.State().Params->Active(), &form.State().Params->Items(1));
        SelectRow(form, 2);
        QTest::keyClick(form.PresetsPage().lvPresets, Qt::Key_Return);
        QCOMPARE(form.State().Params->Active(), &form.State().Params->Items(2));
        QCOMPARE(FakeDevice().calls.size(), size_t(12));
    }

    void keysActOnlyOnThePresetsPage() {
        TWindowRig rig;
        TMainForm& form = OpenWithPresets(rig, {"A"});
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        SelectRow(form, 1);
        form.PresetsPage().lvPresets->setFocus();
        form.SetActivePage(0);
        form.Frame().ActionList1->UpdateAll();
        for (TAction* action : {form.Frame().acPresetsAdd, form.Frame().acPresetsEdit,
                                form.Frame().acPresetsActive, form.Frame().acPresetsDelete})
            QVERIFY(!action->isEnabled());
        for (Qt::Key key : {Qt::Key_Insert, Qt::Key_F2, Qt::Key_Return, Qt::Key_Delete})
            QTest::keyClick(&form, key);
        QVERIFY(rig.dialogs.shown.empty());
        QVERIFY(FakeDevice().calls.empty());

        form.Frame().PageControl->setCurrentWidget(form.Frame().tsPresets);
        form.PresetsPage().lvPresets->setFocus();
        SelectRow(form, 1);
        QTest::keyClick(form.PresetsPage().lvPresets, Qt::Key_Return);
        QCOMPARE(FakeDevice().calls, SixSetM());
        rig.dialogs.Answer(QMessageBox::No);
        QTest::keyClick(form.PresetsPage().lvPresets, Qt::Key_Delete);  // the active row: nothing
        QVERIFY(rig.dialogs.shown.empty());
        SelectRow(form, 0);
        QTest::keyClick(form.PresetsPage().lvPresets, Qt::Key_Delete);
        QCOMPARE(rig.dialogs.shown.size(), size_t(1));
        TQueryAnswer seen;
        rig.dialogs.Answer(AnswerQuery(seen, QStringLiteral("Renamed")));
        QTest::keyClick(form.PresetsPage().lvPresets, Qt::Key_F2);
        QCOMPARE(seen.text, QStringLiteral("Default"));
        rig.dialogs.Answer(AnswerQuery(seen, QStringLiteral("Third")));
        QTest::keyClick(form.PresetsPage().lvPresets, Qt::Key_Insert);
        QCOMPARE(Names(form), (QStringList{"Renamed", "A", "Third"}));
    }
};

KELVANE_GUI_TEST_MAIN(PresetsPageTest)
#include "PresetsPageTest.moc"
