// The Presets page and the tray's "Presets" submenu: the rows of lvPresets with the active one
// in bold, the four preset actions with their enable rules, and making a preset active, which
// sends its six channel records to the controller. Every change of the presets is written to
// the settings file at once.
#include <QAction>
#include <QActionGroup>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTabWidget>
#include <QTreeView>

#include "ActionList.h"
#include "Application.h"
#include "Dialogs.h"
#include "InputQuery.h"
#include "LayoutHelpers.h"
#include "Main.h"
#include "VirtualListModel.h"
#include "core/Params.h"

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

void TMainForm::ConnectPresetsHandlers() {
    PresetsModel->CellText = [this](int row, int column) -> QString {
        if (Params == nullptr || row < 0 || row >= Params->Count())
            return {};
        return column == 0 ? QString::number(row + 1) : PresetName(Params->Items(row));
    };
    PresetsModel->RowBold = [this](int row) {
        return Params != nullptr && row >= 0 && row < Params->Count() &&
               &Params->Items(row) == Params->Active();
    };
    acPresetsAdd->OnUpdate = [this] { return acPresetsAddUpdate(); };
    acPresetsEdit->OnUpdate = [this] { return acPresetsEditUpdate(); };
    acPresetsActive->OnUpdate = [this] { return acPresetsActiveUpdate(); };
    acPresetsDelete->OnUpdate = [this] { return acPresetsDeleteUpdate(); };
    acPresetsAdd->OnExecute = [this] { acPresetsAddExecute(); };
    acPresetsEdit->OnExecute = [this] { acPresetsEditExecute(); };
    acPresetsActive->OnExecute = [this] { acPresetsActiveExecute(); };
    acPresetsDelete->OnExecute = [this] { acPresetsDeleteExecute(); };
    connect(lvPresets, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        ActionList1->UpdateAll();
        pmPresets->popup(lvPresets->viewport()->mapToGlobal(pos));
    });
    connect(lvPresets, &QAbstractItemView::doubleClicked, this,
            [this] { Guarded([this] { lvPresetsDblClick(); }); });
    connect(pmSystray, &QMenu::aboutToShow, this,
            [this] { Guarded([this] { pmSystrayPopup(); }); });
}

int TMainForm::SelectedPresetRow() const {
    const QModelIndexList rows = lvPresets->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

bool TMainForm::acPresetsAddUpdate() const {
    return PageControl->currentWidget() == tsPresets;
}

bool TMainForm::acPresetsEditUpdate() const {
    const int row = SelectedPresetRow();
    return row >= 0 && Params != nullptr && row < Params->Count() &&
           PageControl->currentWidget() == tsPresets;
}

bool TMainForm::acPresetsActiveUpdate() const {
    // Activating sends the preset to the controller: off-line it could not.
    return Online && acPresetsDeleteUpdate();
}

bool TMainForm::acPresetsDeleteUpdate() const {
    return acPresetsEditUpdate() && &Params->Items(SelectedPresetRow()) != Params->Active();
}

void TMainForm::acPresetsAddExecute() {
    QString name = QStringLiteral("Name ") + QString::number(Params->Count() + 1);
    if (!InputQuery(QStringLiteral("Add preset"), QStringLiteral("Name:"), name))
        return;
    // Any text is taken as it is, empty and repeated names too. The new preset is not active.
    Params->AddNew().Name = name.toStdString();
    PresetsModel->SetRowCount(Params->Count());
    const QModelIndex last = PresetsModel->index(Params->Count() - 1, 0);
    lvPresets->selectionModel()->setCurrentIndex(
        last, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    lvPresets->scrollTo(last);
    PresetsModel->RefreshRows(last.row(), last.row());
    WriteSettingsNow();
}

void TMainForm::acPresetsEditExecute() {
    const int row = SelectedPresetRow();
    TParamsItem& preset = Params->Items(row);
    QString name = PresetName(preset);
    if (!InputQuery(QString(), QStringLiteral("Name:"), name))
        return;
    preset.Name = name.toStdString();
    PresetsModel->RefreshRows(row, row);
    WriteSettingsNow();
}

void TMainForm::acPresetsDeleteExecute() {
    const int row = SelectedPresetRow();
    QMessageBox box(QMessageBox::Question, QStringLiteral("Message"), QStringLiteral("Delete?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    if (Dialogs().Exec(box) != QMessageBox::Yes)
        return;
    // The action is disabled for the active preset, so it is never the one deleted here.
    Params->Delete(row);
    PresetsModel->SetRowCount(Params->Count());
    WriteSettingsNow();
}

void TMainForm::acPresetsActiveExecute() {
    ActivatePreset(SelectedPresetRow(), false);
}

void TMainForm::lvPresetsDblClick() {
    acPresetsActive->Execute();
}

void TMainForm::ActivatePreset(int index, bool fromTray) {
    Params->SetActive(index);
    // Stored before anything is sent: a failure to send leaves the new active preset in place.
    WriteSettingsNow();
    const bool presetsShown = PageControl->currentWidget() == tsPresets;
    if (!fromTray)
        PresetsModel->RefreshRows(0, Params->Count() - 1);
    // Exactly six requests, channels 0 to 5; a failure ends the activation there, and the
    // channels sent so far keep their new parameters and their Changed flags.
    const TParamsItem& active = *Params->Active();
    for (int channel = 0; channel < kChannelCount; ++channel) {
        Pwm[channel] = active.Channels[channel].PWM;
        WriteChannelParams(channel);
        Changed[channel] = true;
    }
    ShowChannelParams(SelectedChannel);
    if (!fromTray) {
        DrawGraph(SelectedChannel);
    } else {
        if (PageControl->currentWidget() == tsChannel) {
            UpdateChannelPage(SelectedChannel);
            DrawGraph(SelectedChannel);
        }
        if (presetsShown)
            PresetsModel->RefreshRows(0, Params->Count() - 1);
    }
    StatusPanels[1]->setText(PresetName(active));
}

void TMainForm::pmSystrayPopup() {
    miPresets->clear();
    delete presetsGroup_.data();
    presetsGroup_ = new QActionGroup(miPresets);
    presetsGroup_->setExclusive(true);
    const QString hint = acPresetsActive->Hint();
    for (int i = 0; i < Params->Count(); ++i) {
        const TParamsItem& preset = Params->Items(i);
        auto* item = new QAction(MenuCaption(PresetName(preset)), miPresets);
        item->setObjectName(QStringLiteral("miPreset%1").arg(i));
        item->setData(i);  // the item's tag
        item->setCheckable(true);
        item->setChecked(&preset == Params->Active());
        item->setActionGroup(presetsGroup_);
        SetHint(item, hint);
        // Only the items without the mark activate; choosing the marked one does nothing.
        // Off-line none can: activating sends the preset to the controller.
        item->setEnabled(item->isChecked() || Online);
        if (!item->isChecked()) {
            connect(item, &QAction::triggered, this,
                    [this, item] { Guarded([this, item] { miPresetsItemClick(item); }); });
        }
        miPresets->addAction(item);
    }
}

void TMainForm::miPresetsItemClick(QObject* sender) {
    const auto* item = qobject_cast<const QAction*>(sender);
    if (item == nullptr)
        return;
    const int index = item->data().toInt();
    // The menu may have stayed open while the controller went off-line.
    if (index < 0 || index >= Params->Count() || !Online)
        return;
    ActivatePreset(index, true);
}
