// The tray icon: minimising into the notification area stops polling, restoring polls at once.
// Its "Presets" submenu lists the presets with the active one marked; choosing another makes it
// active.
#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include "ActionList.h"
#include "Application.h"
#include "LayoutHelpers.h"
#include "MainForm.h"
#include "WatchTools.h"
#include "desktop/TrayHost.h"  // desktop hook
#include "pages/PresetsPage.h"
#include "widgets/Jvsimscope.h"
#include "widgets/Trayicon.h"

namespace {

QString PresetName(const TParamsItem& preset) {
    return QString::fromStdString(preset.Name);
}

// A menu caption that shows the name as it is: "&" would otherwise mark a mnemonic.
QString MenuCaption(const QString& name) {
    QString caption = name;
    caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return caption;
}

}  // namespace

void TMainForm::BuildTray() {
    frame_.TrayIcon = new TTrayIcon(this);
    frame_.TrayIcon->setObjectName(QStringLiteral("TrayIcon"));
    frame_.TrayIcon->SetIcon(QIcon(QStringLiteral(":/kelvane/tray.png")));
    frame_.TrayIcon->SetHint(QStringLiteral("Kelvane"));
    frame_.TrayIcon->SetPopupMenu(frame_.pmSystray);
    frame_.TrayIcon->SetRestoreOn(RestoreMessageFor(CurrentTrayHost()));  // desktop hook
    frame_.TrayIcon->SetPopupMenuOn(TTrayIconMessage::imRightClickUp);
    frame_.TrayIcon->SetMainWindow(this);
    frame_.TrayIcon->OnMinimize = [this](QObject*) { Guarded([this] { TrayIconMinimize(); }); };
    frame_.TrayIcon->OnRestore = [this](QObject*) { Guarded([this] { TrayIconRestore(); }); };
    frame_.TrayIcon->SetVisible(true);
    connect(frame_.pmLaunch, &QAction::triggered, this,
            [this] { Guarded([this] { pmLaunchClick(); }); });
}

void TMainForm::TrayIconMinimize() {
    if (watchTools_ && watchTools_->KeepPolling())
        return;
    if (TJvSimScope* scope = Scope())
        scope->SetActive(false);
}

void TMainForm::TrayIconRestore() {
    TimerTimer();
}

void TMainForm::pmLaunchClick() {
    frame_.TrayIcon->Restore();
}

void TMainForm::pmSystrayPopup() {
    frame_.miPresets->clear();
    delete presetsGroup_.data();
    presetsGroup_ = new QActionGroup(frame_.miPresets);
    presetsGroup_->setExclusive(true);
    const QString hint = frame_.acPresetsActive->Hint();
    for (int i = 0; i < state_.Params->Count(); ++i) {
        const TParamsItem& preset = state_.Params->Items(i);
        auto* item = new QAction(MenuCaption(PresetName(preset)), frame_.miPresets);
        item->setObjectName(QStringLiteral("miPreset%1").arg(i));
        item->setData(i);  // the item's tag
        item->setCheckable(true);
        item->setChecked(&preset == state_.Params->Active());
        item->setActionGroup(presetsGroup_);
        SetHint(item, hint);
        // Only the items without the mark activate; choosing the marked one does nothing.
        // Off-line none can: activating sends the preset to the controller.
        item->setEnabled(item->isChecked() || state_.Online);
        if (!item->isChecked()) {
            connect(item, &QAction::triggered, this,
                    [this, item] { Guarded([this, item] { miPresetsItemClick(item); }); });
        }
        frame_.miPresets->addAction(item);
    }
}

void TMainForm::miPresetsItemClick(QObject* sender) {
    const auto* item = qobject_cast<const QAction*>(sender);
    if (item == nullptr)
        return;
    const int index = item->data().toInt();
    // The menu may have stayed open while the controller went off-line.
    if (index < 0 || index >= state_.Params->Count() || !state_.Online)
        return;
    presetsPage_->ActivatePreset(index, true);
}
