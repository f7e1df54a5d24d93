// The settings file as the window keeps it: channel names of an older 8-bit file shown decoded
// and written back byte for byte, a read-only file that is not replaced, and a file larger than
// any real one that is refused and never written.
#include <sys/stat.h>

#include <QFile>
#include <QTreeView>

#include "ActionList.h"
#include "FakeDevice.h"
#include "GuiTestSupport.h"
#include "InputQuery.h"
#include "core/IniFile.h"
#include "core/Params.h"
#include "pages/ChannelPage.h"
#include "pages/CommonPage.h"

namespace {

// Adds a preset named `name` through the Presets page and its name dialog.
void AddPreset(TWindowRig& rig, TMainForm& form, const QString& name) {
    form.Frame().PageControl->setCurrentWidget(form.Frame().tsPresets);
    form.Frame().ActionList1->UpdateAll();
    rig.dialogs.Answer([name](QDialog& dialog) {
        auto* query = qobject_cast<TInputQueryDialog*>(&dialog);
        if (query == nullptr)
            return int(QDialog::Rejected);
        query->Edit()->setText(name);
        return int(QDialog::Accepted);
    });
    form.Frame().acPresetsAdd->trigger();
}

// `text` with the value of the first line starting with `key` "=" replaced by `value`.
QByteArray WithValue(QByteArray text, const QByteArray& key, const QByteArray& value) {
    const qsizetype from = text.indexOf("\r\n" + key + "=") + 2 + key.size() + 1;
    const qsizetype to = text.indexOf("\r\n", from);
    return text.replace(from, to - from, value);
}

}  // namespace

class SettingsFileTest : public QObject {
    Q_OBJECT

private slots:
    void init() { FakeDevice().Reset(); }

    void eightBitChannelNamesAreShownDecodedAndKeptByteForByte() {
        TWindowRig rig;
        rig.Open();
        rig.Close();
        QByteArray file = rig.ReadIni();
        const QByteArray longName(40000, 'n');
        file = WithValue(file, "Name0", "\xE9t\xE9 CPU");
        file = WithValue(file, "Name1", longName + "\xFC");
        file = WithValue(file, "Name2", "Pumpe \xC3\xBC");
        rig.WriteIni(file);

        TMainForm& form = rig.Open();
        QCOMPARE(form.CommonPage().edN[0]->text(), QString::fromUtf8("été CPU"));
        QCOMPARE(form.ChannelPage().cbCh->itemText(0), QString::fromUtf8("1: été CPU"));
        QCOMPARE(form.CommonPage().edN[1]->text(), QString::fromLatin1(longName) + QChar(0xFC));
        QCOMPARE(form.State().ChannelName[1].size(), 40001);
        QCOMPARE(form.CommonPage().edN[2]->text(), QString::fromUtf8("Pumpe ü"));
        rig.Close();
        QVERIFY2(rig.ReadIni() == file, "names nobody edited came back changed");

        // A name the user edits is stored as UTF-8; the others keep their bytes.
        TMainForm& again = rig.Open();
        again.CommonPage().edN[3]->setText(QString::fromUtf8("Grün"));
        rig.Close();
        QVERIFY(rig.ReadIni() == WithValue(file, "Name3", "Gr\xC3\xBCn"));
    }

    void readOnlySettingsFileIsNotReplaced() {
        TWindowRig rig;
        rig.Open();
        rig.Close();
        const QByteArray before = rig.ReadIni();
        QVERIFY(chmod(rig.IniPath().c_str(), 0444) == 0);
        const QString error =
            QStringLiteral("Cannot create file ") + QString::fromStdString(rig.IniPath());

        // The exit.
        TMainForm& form = rig.Open();
        form.CommonPage().edN[0]->setText(QStringLiteral("Changed"));
        rig.Close();
        QCOMPARE(rig.dialogs.shown.size(), size_t(1));
        QCOMPARE(rig.dialogs.shown[0].text, error);
        QVERIFY(rig.ReadIni() == before);

        // A preset change, which writes at once.
        AddPreset(rig, rig.Open(), QStringLiteral("Quiet"));
        QCOMPARE(rig.dialogs.shown.size(), size_t(3));
        QCOMPARE(rig.dialogs.shown[2].text, error);
        QVERIFY(rig.ReadIni() == before);
        struct stat st {};
        QVERIFY(stat(rig.IniPath().c_str(), &st) == 0);
        QCOMPARE(st.st_mode & 07777, 0444u);
    }

    void fileLargerThanAnyRealOneIsRefusedAndNeverWritten() {
        TWindowRig rig;
        const QByteArray text = "[General]\r\nLeft=5\r\nTop=6\r\n[Bulk]\r\nx=" +
                                QByteArray(qsizetype(kMaxSettingsFileSize), 'v') + "\r\n";
        rig.WriteIni(text);

        TMainForm& form = rig.Open();
        QCOMPARE(rig.dialogs.shown.size(), size_t(1));
        QCOMPARE(rig.dialogs.shown[0].text,
                 QStringLiteral("Settings file %1 was not read: it holds %2 bytes, more than the "
                                "16 MB a settings file may hold. The file is left as it is.\n"
                                "This run uses the default settings and does not save them.")
                     .arg(QString::fromStdString(rig.IniPath()))
                     .arg(text.size()));
        QVERIFY(form.pos() != QPoint(5, 6));
        QCOMPARE(form.State().Params->Count(), 1);
        QCOMPARE(form.Frame().StatusPanels[0]->text(), QStringLiteral("ON-Line"));

        // Neither a preset change nor the exit writes the file.
        AddPreset(rig, form, QStringLiteral("Quiet"));
        QCOMPARE(form.State().Params->Count(), 2);
        rig.Close();
        QCOMPARE(rig.dialogs.shown.size(), size_t(2));
        QVERIFY2(rig.ReadIni() == text, "the refused file was written");
    }
};

KELVANE_GUI_TEST_MAIN(SettingsFileTest)
#include "SettingsFileTest.moc"
