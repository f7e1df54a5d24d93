// Shared pieces of the window tests: scripted answers for the program's boxes, a main window
// built over a settings file in a private folder, and the test entry point with the program's
// own application object.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Application.h"
#include "Dialogs.h"
#include "window/MainForm.h"

// One box the program showed.
struct TShownDialog {
    QString className;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Answers the program's boxes from a queue instead of showing them; installed while it lives.
class TScriptedDialogs : public TDialogs {
public:
    using TAnswer = std::function<int(QDialog&)>;

    TScriptedDialogs() { SetDialogs(this); }
    ~TScriptedDialogs() override { SetDialogs(nullptr); }

    void Answer(int result) {
        answers_.push_back([result](QDialog&) { return result; });
    }
    void Answer(TAnswer answer) { answers_.push_back(std::move(answer)); }

    int Exec(QDialog& dialog) override;

    // Every box shown, in order. A box with no answer queued counts as unanswered and is
    // cancelled.
    std::vector<TShownDialog> shown;
    int unanswered = 0;

private:
    std::deque<TAnswer> answers_;
};

// A settings file in a private folder and a main window built over it.
class TWindowRig {
public:
    TWindowRig();
    ~TWindowRig();

    std::string IniPath() const;
    void WriteIni(const QByteArray& text) const;
    QByteArray ReadIni() const;
    bool IniExists() const;

    // Builds the window (construction and FormCreate) and stops its clock, so the test drives
    // the polling cycles itself.
    TMainForm& Open();
    // Closes the window as a signal would (FormClose, no EEPROM question) and destroys it
    // (FormDestroy writes the settings file).
    void Close();
    TMainForm& Form() { return *form_; }

    TScriptedDialogs dialogs;

private:
    QTemporaryDir dir_;
    std::unique_ptr<TMainForm> form_;
};

template <typename TTest>
int RunGuiTest(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TTest test;
    return QTest::qExec(&test, argc, argv);
}

#define KELVANE_GUI_TEST_MAIN(TestClass)          \
    int main(int argc, char** argv) {             \
        return RunGuiTest<TestClass>(argc, argv); \
    }
