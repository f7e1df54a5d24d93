// Connects the controls and actions of the frame and the Common page to their handlers; each
// page file connects its own.
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "ActionList.h"
#include "Application.h"
#include "Main.h"

void TMainForm::ConnectHandlers() {
    for (int i = 0; i < kChannelCount; ++i) {
        QLineEdit* name = edN[i];
        connect(name, &QLineEdit::textChanged, this,
                [this, name] { Guarded([&] { edN1Change(name); }); });
        QPushButton* button = btCh[i];
        connect(button, &QPushButton::clicked, this,
                [this, button] { Guarded([&] { btCh1Click(button); }); });
    }
    // Only a page change by the user runs PageControlChange, not one made by the program.
    connect(PageControl, &QTabWidget::currentChanged, this, [this] {
        if (!settingPage_)
            Guarded([this] { PageControlChange(); });
    });
    acExit->OnExecute = [this] { close(); };
    acAbout->OnExecute = [this] { acAboutExecute(); };
    ConnectHints();
    ConnectChannelHandlers();
    ConnectGraphHandlers();
    ConnectHistoryHandlers();
    ConnectPresetsHandlers();
}
